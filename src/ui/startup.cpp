#include "ui/startup.h"

#include "platform/ui_thread.h"
#include "platform/win_handles.h"
#include "ui/busy_look.h"
#include "ui/game_list_pane.h"
#include "ui/main_window.h"
#include "ui/settings.h"
#include "ui/startup_geometry.h"
#include "ui/window_input.h"

namespace zrcc {

namespace {

// The first top-level window of the class that this program made.
HWND RunningCopyWindow() {
  for (HWND window = FindWindowExW(nullptr, nullptr, kMainWindowClass, nullptr); window;
       window = FindWindowExW(nullptr, window, kMainWindowClass, nullptr)) {
    if (MainWindow::IsOurs(window)) return window;
  }
  return nullptr;
}

}  // namespace

void ActivateRunningCopy() {
  const HWND running = RunningCopyWindow();
  if (!running) return;
  // A hidden window is closing (or not shown yet): shown again it would
  // come back to life without its work. What it shows meanwhile, a box
  // that the list could not be saved, comes to the front instead.
  if (!IsWindowVisible(running)) {
    const HWND popup = GetLastActivePopup(running);
    if (popup != running && IsWindowVisible(popup)) SetForegroundWindow(popup);
    return;
  }
  ShowWindow(running, SW_RESTORE);
  SetForegroundWindow(running);
}

int RunApplication(HINSTANCE instance, int showCommand) {
  UniqueHandle guard(CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName));
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    ActivateRunningCopy();
    return 0;
  }
  const ComInitialization com;
  BindUiThread();
  MainWindow::Register(instance);
  bool settingsUnreadable = false;
  const WindowGeometry geometry = LoadWindowGeometry(&settingsUnreadable);
  MainWindow window;
  window.settings().unreadable = settingsUnreadable;
  if (!window.Create(instance, geometry.x, geometry.y, geometry.width, geometry.height)) return -1;
  LoadSettings(window.Settings());
  ShowWindow(window.handle(), showCommand);
  UpdateWindow(window.handle());
  if (LaunchAsyncLoadData(window.pane())) LookBusy(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchWindowMessage(message);
  return 0;
}

}  // namespace zrcc
