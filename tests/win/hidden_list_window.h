// A hidden top-level window holding a real report list view with the seven
// game columns and a status bar, which become the program's main window,
// game list and status bar (gMainWindow, gListView, gStatusBar) while it
// lives; it records the starts and ends of background jobs as the main
// window does. Used by the tests and by the benchmark.
#pragma once

#include <windows.h>

namespace zrcc::test {

class HiddenListWindow {
 public:
  HiddenListWindow();
  ~HiddenListWindow();
  HiddenListWindow(const HiddenListWindow&) = delete;
  HiddenListWindow& operator=(const HiddenListWindow&) = delete;

  // How many jobs have started (load started messages) and ended.
  int jobsStarted() const;
  int jobsEnded() const;
};

}  // namespace zrcc::test
