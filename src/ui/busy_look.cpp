#include "ui/busy_look.h"

#include "core/owner_thread.h"
#include "ui/main_window.h"

namespace zrcc {

void BusyLook::Enter(HWND window, HWND listView) {
  CheckOwnerThread();
  if (busy_) return;
  busy_ = true;
  const HWND focus = GetFocus();
  for (size_t i = 0; i < kAllButtons.size(); ++i) {
    const HWND button = GetDlgItem(window, kAllButtons[i]);
    enabledBefore_[i] = IsWindowEnabled(button) != FALSE;
    // A disabled window loses the focus, and with it the window its keys.
    if (button == focus) SetFocus(listView);
    EnableWindow(button, FALSE);
  }
}

void BusyLook::Leave(HWND window) {
  CheckOwnerThread();
  if (!busy_) return;
  busy_ = false;
  for (size_t i = 0; i < kAllButtons.size(); ++i) EnableWindow(GetDlgItem(window, kAllButtons[i]), enabledBefore_[i]);
}

void LookBusy(MainWindow& window) {
  SetTooltipsActive(window, false);
  window.busyLook().Enter(window.handle(), window.listView());
}

void LookIdle(MainWindow& window) { window.busyLook().Leave(window.handle()); }

}  // namespace zrcc
