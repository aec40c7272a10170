#include "ui/window_handles.h"

namespace zrcc {

HWND gMainWindow = nullptr;
HWND gListView = nullptr;
HWND gStatusBar = nullptr;
HWND gPathField = nullptr;

std::wstring PackageVersionText;
std::wstring PackageBuildText;

}  // namespace zrcc
