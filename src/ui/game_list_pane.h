// The game list and the status bar under it, as the jobs and the commands
// change them: the rows, the count, the one setter of the status text, and
// what the load, Add Dir and the search of the PC hand the window besides
// games (their boxes and progress). UI thread; made by the window that makes
// the list, living as long as it.
#pragma once

#include <windows.h>

#include "discovery/find_games.h"
#include "discovery/folder_intake.h"
#include "core/list_view_rules.h"
#include "helpers/game_rows.h"
#include "helpers/loader.h"
#include "ui/package.h"

namespace zrcc {

class GameListPane final : public LoadSink, public AddSink, public FindSink {
 public:
  // `package` tells which games are outdated; it outlives the pane.
  GameListPane(HWND listView, HWND statusBar, const Package& package);
  GameListPane(const GameListPane&) = delete;
  GameListPane& operator=(const GameListPane&) = delete;

  HWND listView() const { return rows_.listView(); }
  HWND statusBar() const { return statusBar_; }
  GameRows& rows() { return rows_; }
  const Package& package() const { return package_; }

  // The status bar's text: every text it shows is set here. The second part
  // holds a note that outlives the count's changes (what the last load left
  // out), until the next load.
  void SetStatusText(const std::wstring& text);
  void SetStatusNote(const std::wstring& text);
  // "Games: N" with the number of rows shown, and how many of those games
  // hold an older mod than the package, when any do; "Games: N of M shown"
  // while the filter hides any.
  void UpdateGameCountText();
  // The rows in the order and through the filter chosen (the package as it
  // is now tells which games are outdated).
  void ShowAsChosen(const ListChoice& choice);

  // The load.
  void LoadStarted() override;
  void Loading() override;
  void ListNotRead(const ListFileRead& read) override;
  void NoExecutable(const std::wstring& gamePath) override;
  void Loaded(size_t gone) override;
  // Add Dir.
  void Refused(const AddNotice& notice) override;
  void Adding(size_t adding, size_t total) override;
  void SaveAdded() override;
  // The search of the PC.
  void Searching(GameSource source) override;
  void Found(const FindTally& tally, const std::vector<FindSkip>& skipped) override;

 private:
  GameRows rows_;
  HWND statusBar_;
  const Package& package_;
};

// The load, an add and the search as the window starts them: into the pane's
// list. False when a job is already running.
bool LaunchAsyncLoadData(GameListPane& pane);
bool LaunchAsyncAddGameFolder(GameListPane& pane, const std::wstring& pickedFolder);
bool LaunchAsyncAddGameFolders(GameListPane& pane, const std::vector<std::wstring>& folders);
bool LaunchAsyncFindGames(GameListPane& pane);
// The whole add on the UI thread itself, for the tests.
bool AddGameFolder(GameListPane& pane, const std::wstring& pickedFolder);

}  // namespace zrcc
