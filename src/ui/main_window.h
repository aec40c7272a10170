// The main window: its controls, fonts, colours, layout and DPI scaling, its
// behaviour while moved, resized or loading, and what it saves when it is
// destroyed.
#pragma once

#include <windows.h>

namespace zrcc {

constexpr wchar_t kMainWindowClass[] = L"MyWindowClass";
constexpr wchar_t kMainWindowTitle[] = L"ZandRivell Control Center";

// Control identifiers.
enum ControlId : int {
  kIdPathField = 2000,
  kIdSetFolderButton = 2001,
  kIdVersionField = 2002,
  kIdBuildField = 2003,
  kIdCopyButton = 2004,
  kIdInstallButton = 2005,
  kIdUninstallButton = 2006,
  kIdAddButton = 1001,
  kIdOpenButton = 1002,
  kIdDeleteButton = 1003,
  kIdRefreshButton = 1004,
};

bool RegisterMainWindowClass(HINSTANCE instance);
// Creates the main window (its controls are built during creation) at the
// given outer position and size; x and y may be CW_USEDEFAULT.
HWND CreateMainWindow(HINSTANCE instance, int x, int y, int width, int height);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The DPI the window is laid out for.
UINT CurrentWindowDpi();

}  // namespace zrcc
