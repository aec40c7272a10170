// The main window: its controls, fonts, colours, layout and DPI scaling, its
// behaviour while moved, resized or loading, and what it saves when it is
// destroyed. Everything the window keeps lives in its MainWindow object,
// which the window's handle reaches (the object of a window is stored with
// it), so a new window starts afresh and nothing of one outlives it.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "core/columns.h"
#include "core/control_ids.h"
#include "platform/win_handles.h"
#include "ui/busy_look.h"
#include "ui/game_list_pane.h"
#include "ui/package.h"
#include "ui/row_tooltip.h"
#include "ui/settings.h"
#include "ui/window_input.h"

namespace zrcc {

// The single-instance protocol finds the running copy by this class.
constexpr wchar_t kMainWindowClass[] = L"MyWindowClass";
constexpr wchar_t kMainWindowTitle[] = L"ZandRivell Control Center";

// The one command at a time: whether a command runs (with every box, picker,
// shell dialog or script wait it opens), whether that is a script, and
// whether a close waits for it.
struct CommandGate {
  bool commandRunning = false;
  bool scriptRunning = false;
  bool closeRequested = false;
};

class MainWindow {
 public:
  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();

  static bool Register(HINSTANCE instance);
  // Creates the window (its controls are built during creation) at the given
  // outer position and size; x and y may be CW_USEDEFAULT. The object must
  // outlive the window.
  bool Create(HINSTANCE instance, int x, int y, int width, int height);
  // The object of a main window, or null for any other window.
  static MainWindow* FromHandle(HWND window);
  // The main window a message is for (one of its controls or itself), or null.
  static MainWindow* OfMessage(const MSG& message);
  // Whether a window, of any process, is a main window of this program: the
  // class name alone is a common one.
  static bool IsOurs(HWND window);

  HWND handle() const { return window_; }
  HWND listView() const { return listView_; }
  HWND statusBar() const { return statusBar_; }
  HWND pathField() const { return pathField_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  GameListPane& pane() { return *pane_; }
  Package& package() { return package_; }
  WindowSettings& settings() { return settings_; }
  CommandGate& gate() { return gate_; }
  BusyLook& busyLook() { return busyLook_; }
  Tooltips& tooltips() { return tooltips_; }
  RowTooltip& rowTooltip() { return rowTooltip_; }
  // The DPI the window is laid out for.
  UINT dpi() const { return dpi_; }
  // What settings.ini is read into and written from.
  SettingsHost Settings();

  // Shows the package texts in the two version fields, which also carry them
  // as their window text for screen readers.
  void ShowPackageTexts();

  // The game list's view. A click on a column's header sorts by it (again:
  // the other way round); the filter field and its drop-down narrow the
  // rows. Each shows the rows anew, with the header's arrow, at once; the
  // catalogue and its order are left as they are.
  void SortByColumn(int column);
  void FilterChanged();
  // The rows, the arrow and the drop-down as `settings().list` says.
  void ShowListAsChosen();
  HWND filterField() const { return control(kIdFilterField); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCreate();
  void CreateControls();
  void MakeScalableFonts();
  void OnDpiChanged(WPARAM wParam, const RECT* suggested);
  void OnDestroy();
  void SaveBeforeSessionEnds();
  void LayoutTopBand();
  void LayoutClientArea(int width, int height);
  void RelayoutForCurrentSize();
  void KeepButtonsWhole(MINMAXINFO& limits) const;
  void SetPathFieldTextRect(int dpi);
  int LabelCharHeight() const;
  LRESULT OnDrawItem(const DRAWITEMSTRUCT& item);
  std::array<HWND, 5> RedrawSuspendedControls() const;
  void CreateFilterControls();
  void ShowSortArrow();

  HWND window_ = nullptr;
  HWND pathField_ = nullptr;
  HWND listView_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND header_ = nullptr;
  HWND separator_ = nullptr;
  UINT dpi_ = 96;
  bool inSizeMove_ = false;
  GdiObject listFont_, buttonFont_, pathFont_, labelFont_;
  GdiObject whiteBrush_, backgroundBrush_;
  Package package_;
  std::unique_ptr<GameListPane> pane_;
  WindowSettings settings_;
  CommandGate gate_;
  BusyLook busyLook_;
  Tooltips tooltips_;
  RowTooltip rowTooltip_;
};

}  // namespace zrcc
