#include "win/hidden_list_window.h"

#include <commctrl.h>

#include "core/columns.h"
#include "helpers/game_rows.h"
#include "platform/app_state.h"
#include "platform/background_job.h"
#include "platform/list_view.h"

namespace zrcc::test {

namespace {

int gStarted = 0;
int gEnded = 0;

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT answer = 0; message == WM_NOTIFY && AnswerGameRowRequest(reinterpret_cast<NMHDR*>(lParam), answer)) {
    return answer;
  }
  if (message == kLoadStartedMessage) ++gStarted;
  if (message == kLoadFinishedMessage) {
    ++gEnded;
    isLoading = false;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HiddenListWindow::HiddenListWindow() {
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  static const bool registered = [] {
    WNDCLASSW cls{};
    cls.lpfnWndProc = HiddenWindowProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"ZrccHiddenListWindow";
    return RegisterClassW(&cls) != 0;
  }();
  (void)registered;
  gStarted = gEnded = 0;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  gMainWindow = CreateWindowExW(0, L"ZrccHiddenListWindow", L"hidden list", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 800,
                                nullptr, nullptr, instance, nullptr);
  gListView = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA, 0, 0, 1100,
                              700, gMainWindow, nullptr, instance, nullptr);
  for (int i = 0; i < kColumnCount; ++i) AddListColumn(gListView, i, kColumns[static_cast<size_t>(i)].title, 150);
  gStatusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, gMainWindow, nullptr,
                               instance, nullptr);
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Ready"));
}

HiddenListWindow::~HiddenListWindow() {
  DestroyWindow(gMainWindow);
  gMainWindow = gListView = gStatusBar = nullptr;
}

int HiddenListWindow::jobsStarted() const { return gStarted; }
int HiddenListWindow::jobsEnded() const { return gEnded; }

}  // namespace zrcc::test
