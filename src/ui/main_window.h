// The main window: its controls, fonts, colours, layout and DPI scaling, its
// behaviour while moved, resized or loading, and what it saves when it is
// destroyed.
#pragma once

#include <windows.h>

#include "core/control_ids.h"

namespace zrcc {

constexpr wchar_t kMainWindowClass[] = L"MyWindowClass";
constexpr wchar_t kMainWindowTitle[] = L"ZandRivell Control Center";

bool RegisterMainWindowClass(HINSTANCE instance);
// Creates the main window (its controls are built during creation) at the
// given outer position and size; x and y may be CW_USEDEFAULT.
HWND CreateMainWindow(HINSTANCE instance, int x, int y, int width, int height);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The DPI the window is laid out for.
UINT CurrentWindowDpi();

// Shows the package texts (PackageVersionText, PackageBuildText) in the two
// version fields, which also carry them as their window text for screen
// readers.
void ShowPackageTexts();

}  // namespace zrcc
