#include "platform/app_state.h"

namespace zrcc {

HWND gMainWindow = nullptr;
HWND gListView = nullptr;
HWND gStatusBar = nullptr;
HWND gPathField = nullptr;

std::wstring PackageVersionText;
std::wstring PackageBuildText;

}  // namespace zrcc
