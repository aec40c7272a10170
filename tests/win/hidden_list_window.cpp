#include "win/hidden_list_window.h"

#include <commctrl.h>

#include "core/columns.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "platform/ui_thread.h"

namespace zrcc::test {

namespace {

int gStarted = 0;
int gEnded = 0;

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT answer = 0; message == WM_NOTIFY && AnswerGameRowRequest(reinterpret_cast<NMHDR*>(lParam), answer)) {
    return answer;
  }
  if (message == kLoadStartedMessage) ++gStarted;
  if (message == kLoadFinishedMessage) ++gEnded;
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HiddenListWindow::HiddenListWindow() {
  BindUiThread();
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
  window_ = CreateWindowExW(0, L"ZrccHiddenListWindow", L"hidden list", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 800, nullptr,
                            nullptr, instance, nullptr);
  list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA, 0, 0,
                          1100, 700, window_, nullptr, instance, nullptr);
  for (int i = 0; i < kColumnCount; ++i) AddListColumn(list_, i, kColumns[static_cast<size_t>(i)].title, 150);
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, nullptr,
                               instance, nullptr);
  pane_ = std::make_unique<GameListPane>(list_, statusBar_, package_);
  pane_->SetStatusText(L"Ready");
  SetJobWindow(window_);
}

HiddenListWindow::~HiddenListWindow() {
  // A job still running is ended first: it hands its results to this pane.
  StopJobAndWait();
  SetJobWindow(nullptr);
  pane_.reset();
  DestroyWindow(window_);
}

int HiddenListWindow::jobsStarted() const { return gStarted; }
int HiddenListWindow::jobsEnded() const { return gEnded; }

}  // namespace zrcc::test
