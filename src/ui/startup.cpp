#include "ui/startup.h"

#include <objbase.h>

#include "helpers/loader.h"
#include "platform/app_state.h"
#include "platform/win_handles.h"
#include "ui/main_window.h"
#include "ui/settings.h"
#include "ui/startup_geometry.h"
#include "ui/window_input.h"

namespace zrcc {

namespace {

// A second copy only brings the first one to the front.
void ActivateRunningCopy() {
  if (HWND running = FindWindowW(kMainWindowClass, nullptr)) {
    ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
  }
}

}  // namespace

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
  LaunchAsyncLoadData();

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchWindowMessage(message);
  CoUninitialize();
  return 0;
}

}  // namespace zrcc
