#include "ui/busy_look.h"

#include <windows.h>

#include <array>

#include "core/control_ids.h"
#include "platform/app_state.h"
#include "ui/window_input.h"

namespace zrcc {

namespace {

// The window that looks busy (a window made later never does), and its
// buttons' states from before.
HWND gBusyWindow = nullptr;
std::array<bool, kAllButtons.size()> gEnabledBefore{};

}  // namespace

void LookBusy() {
  SetTooltipsActive(false);
  if (!gMainWindow || gBusyWindow == gMainWindow) return;
  gBusyWindow = gMainWindow;
  const HWND focus = GetFocus();
  for (size_t i = 0; i < kAllButtons.size(); ++i) {
    const HWND button = GetDlgItem(gMainWindow, kAllButtons[i]);
    gEnabledBefore[i] = IsWindowEnabled(button) != FALSE;
    // A disabled window loses the focus, and with it the window its keys.
    if (button == focus) SetFocus(gListView);
    EnableWindow(button, FALSE);
  }
}

void LookIdle() {
  if (!gMainWindow || gBusyWindow != gMainWindow) return;
  gBusyWindow = nullptr;
  for (size_t i = 0; i < kAllButtons.size(); ++i) EnableWindow(GetDlgItem(gMainWindow, kAllButtons[i]), gEnabledBefore[i]);
}

}  // namespace zrcc
