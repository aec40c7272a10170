#include "platform/ui_thread.h"

#include <windows.h>

#include <deque>
#include <memory>
#include <utility>

#include "core/owner_thread.h"

namespace zrcc {

namespace {

// Private to the call window, which nothing else receives messages on.
constexpr UINT kRunTaskMessage = WM_APP + 16;

using Task = std::function<void()>;

// Set once by BindUiThread; read by PostMessageW on any thread.
HWND gCallWindow = nullptr;
// UI thread only: whether a task is being carried out, and the tasks that
// arrived meanwhile (a box's own message loop dispatches them).
bool gRunningTask = false;
std::deque<std::unique_ptr<Task>> gWaitingTasks;

void RunInOrder(std::unique_ptr<Task> task) {
  if (gRunningTask) {
    gWaitingTasks.push_back(std::move(task));
    return;
  }
  gRunningTask = true;
  (*task)();
  while (!gWaitingTasks.empty()) {
    std::unique_ptr<Task> next = std::move(gWaitingTasks.front());
    gWaitingTasks.pop_front();
    (*next)();
  }
  gRunningTask = false;
}

LRESULT CALLBACK CallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunTaskMessage) {
    RunInOrder(std::unique_ptr<Task>(reinterpret_cast<Task*>(lParam)));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void BindUiThread() {
  if (gCallWindow) {
    // Tasks reach the thread the call window belongs to, so that thread
    // stays the UI thread.
    if (GetWindowThreadProcessId(gCallWindow, nullptr) == GetCurrentThreadId()) BindOwnerThread();
    return;
  }
  BindOwnerThread();
  WNDCLASSW cls{};
  cls.lpfnWndProc = CallWindowProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"ZrccUiTasks";
  RegisterClassW(&cls);
  // A message-only window: never shown and never closed with the main
  // window, so that what a job posts reaches the UI thread until the end.
  gCallWindow =
      CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
}

bool OnUiThread() { return OnOwnerThread(); }

void PostToUiThread(std::function<void()> task) {
  if (!gCallWindow || !task) return;
  auto owned = std::make_unique<Task>(std::move(task));
  if (PostMessageW(gCallWindow, kRunTaskMessage, 0, reinterpret_cast<LPARAM>(owned.get()))) owned.release();
}

}  // namespace zrcc
