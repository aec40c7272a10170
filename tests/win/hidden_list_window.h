// A hidden top-level window holding a real report list view with the seven
// game columns and a status bar, with the rows and the pane the main window
// has for them (and a package of its own, unset): the program's load, adds
// and searches run into it as into the main window. It records the starts
// and ends of background jobs as the main window does. Used by the tests and
// by the benchmark.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/game_list_pane.h"
#include "ui/package.h"

namespace zrcc::test {

class HiddenListWindow {
 public:
  HiddenListWindow();
  ~HiddenListWindow();
  HiddenListWindow(const HiddenListWindow&) = delete;
  HiddenListWindow& operator=(const HiddenListWindow&) = delete;

  HWND window() const { return window_; }
  HWND list() const { return list_; }
  HWND statusBar() const { return statusBar_; }
  GameListPane& pane() { return *pane_; }
  Package& package() { return package_; }

  // How many jobs have started (load started messages) and ended.
  int jobsStarted() const;
  int jobsEnded() const;

 private:
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND statusBar_ = nullptr;
  Package package_;
  std::unique_ptr<GameListPane> pane_;
};

}  // namespace zrcc::test
