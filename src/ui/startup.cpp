#include "ui/startup.h"

#include "core/paths.h"
#include "core/text.h"
#include "platform/dialogs.h"
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

// The program file of the process a window belongs to; empty when the
// system does not say.
std::wstring ProgramOf(HWND window) {
  DWORD process = 0;
  if (!GetWindowThreadProcessId(window, &process)) return {};
  const UniqueHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  if (!handle) return {};
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(handle.get(), 0, path.data(), &size)) return {};
  path.resize(size);
  return path;
}

std::wstring OwnProgram() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

std::wstring FolderOf(const std::wstring& program) {
  const size_t cut = program.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : program.substr(0, cut);
}

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
  // Each copy keeps its lists beside its own program file: a copy started
  // from another folder would otherwise seem to show the wrong list.
  const std::wstring theirs = FolderOf(ProgramOf(running));
  if (!theirs.empty() && LowerKey(PlainPath(theirs)) != LowerKey(PlainPath(FolderOf(OwnProgram())))) {
    ShowMessageBox(nullptr,
                   L"ZandRivell Control Center is already running from another folder:\n" + PlainPath(theirs) +
                       L"\n\nOnly one copy runs at a time. Its window comes to the front; it keeps its game list "
                       L"in that folder.",
                   kMainWindowTitle, MB_ICONINFORMATION | MB_OK);
  }
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
    BindUiThread();
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
