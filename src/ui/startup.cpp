#include "ui/startup.h"

#include <objbase.h>

#include "helpers/loader.h"
#include "platform/app_state.h"
#include "platform/win_handles.h"
#include "ui/busy_look.h"
#include "ui/main_window.h"
#include "ui/settings.h"
#include "ui/startup_geometry.h"
#include "ui/window_input.h"

namespace zrcc {

void ActivateRunningCopy() {
  const HWND running = FindWindowW(kMainWindowClass, nullptr);
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
  CoInitialize(nullptr);
  RegisterMainWindowClass(instance);
  const WindowGeometry geometry = LoadWindowGeometry();
  gMainWindow = CreateMainWindow(instance, geometry.x, geometry.y, geometry.width, geometry.height);
  if (!gMainWindow) return -1;
  LoadSettings();
  ShowWindow(gMainWindow, showCommand);
  UpdateWindow(gMainWindow);
  if (LaunchAsyncLoadData()) LookBusy();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchWindowMessage(message);
  CoUninitialize();
  return 0;
}

}  // namespace zrcc
