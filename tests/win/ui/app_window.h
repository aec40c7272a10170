// The real main window, created in the test process with its app folder in
// a temporary folder, dialogs answered through the seam.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/main_window.h"
#include "win/test_support.h"

namespace zrcc::test {

class AppWindow {
 public:
  // Creates the window (after the optional files were prepared by the
  // caller in `folder`), restores the settings and runs the first load.
  explicit AppWindow(const std::wstring& folder);
  ~AppWindow();
  AppWindow(const AppWindow&) = delete;
  AppWindow& operator=(const AppWindow&) = delete;

  HWND window() const { return window_; }
  MainWindow& main() { return *main_; }
  GameListPane& pane() { return main_->pane(); }
  Package& package() { return main_->package(); }
  HWND list() const { return list_; }
  HWND statusBar() const { return statusBar_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  bool Enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
  // Sends a button's command, waits for any job it starts, and checks that
  // the rows still show the games the view lets through, each once.
  void Press(int id);
  // Sends a command as a nested message loop would deliver it, without
  // waiting for anything.
  void PressNow(int id);
  // Each row shows the path of the game the rows map it to, and there is a
  // row for every game the view lets through.
  void ExpectRowsMatchCatalogue() const;
  void Select(int row);
  void DoubleClick();
  void WaitUntilLoaded();
  // Destroys the window (saving both files), as closing it does.
  void Close();
  RECT ClientRectOf(HWND control) const;
  // The test package (the fixture ZandRivell.dll) laid into `folder` and
  // chosen with "Set Folder", as a user chooses it.
  void UsePackage(const std::wstring& folder);

  int RowCount() const;
  std::wstring Cell(int row, int column) const;
  std::wstring StatusText() const;
  std::wstring PathFieldText() const;

  // Answers for the next folder pickers (nullopt = cancel), in order.
  std::vector<std::optional<std::wstring>> pickerAnswers;
  std::vector<std::wstring> pickerTitles;
  std::vector<std::wstring> explored;
  MessageBoxRecorder boxes;

 private:
  std::unique_ptr<MainWindow> main_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND statusBar_ = nullptr;
};

// A key message as the window's message loop gets it, to the control with
// the focus, with Shift held or not.
void DispatchKey(UINT message, WPARAM key, bool shift = false);

}  // namespace zrcc::test
