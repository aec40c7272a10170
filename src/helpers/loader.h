// Background loading of the game list: data.ini is read on a job thread
// (background_job.h) and handed to the UI thread whole; every game is checked
// on disk as a copy, and the checked games come back in file order, their
// rows appearing in steps while the window stays responsive.
#pragma once

#include <windows.h>

#include <string>

#include "helpers/data_file.h"

namespace zrcc {

// What the window does for a load besides the catalogue and the rows: it
// shows the load's progress, its one box about a list that could not be
// read, and the warning about a game without any executable, in file order
// before that game's row. UI thread.
class LoadSink {
 public:
  virtual ~LoadSink() = default;
  // The load has begun (the list is repainted at once).
  virtual void LoadStarted() = 0;
  // The list file has been read; its games are being checked.
  virtual void Loading() = 0;
  // The list file is there but could not be read: the list starts empty.
  virtual void ListNotRead(const ListFileRead& read) = 0;
  // The game at `gamePath` holds no executable at all.
  virtual void NoExecutable(const std::wstring& gamePath) = 0;
  // The load has ended; `gone` games of the file were left out because their
  // folders are gone from drives that are there.
  virtual void Loaded(size_t gone) = 0;
};

// Starts a load into the catalogue and the rows of `listView`, unless a job
// is running (then it does nothing and returns false). Stopped part-way (the
// window closing), it leaves every game of the file in the catalogue: the
// checked ones with their rows, the unchecked ones after them as the file
// has them, without rows, so that the save at exit loses none. UI thread
// only; `sink` must live until the load has ended.
bool StartListLoad(HWND listView, LoadSink& sink);

}  // namespace zrcc
