// Handles of the main window and of the controls other units write to, and
// the package texts the two version fields draw. Owned by the UI thread; the
// window sets them when it creates its controls.
#pragma once

#include <windows.h>

#include <string>

namespace zrcc {

extern HWND gMainWindow;
extern HWND gListView;
extern HWND gStatusBar;
extern HWND gPathField;

// FileVersion and ProductVersion of the package DLL; "not found" after a
// rejected choice of package folder; empty at start.
extern std::wstring PackageVersionText;
extern std::wstring PackageBuildText;

}  // namespace zrcc
