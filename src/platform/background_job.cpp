#include "platform/background_job.h"

#include <system_error>
#include <thread>
#include <utility>

#include "platform/app_state.h"

namespace zrcc {

namespace {

std::atomic<bool> gStopRequested{false};
DWORD gUiThreadId = 0;
HWND gUiCallWindow = nullptr;
int gCallsBeingServed = 0;  // UI thread only

// Private to the call window, which nothing else receives messages on.
constexpr UINT kRunCallMessage = WM_APP + 16;

// Manual-reset event, signalled while no job thread runs.
HANDLE JobIdleEvent() {
  static HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  return event;
}

LRESULT CALLBACK UiCallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunCallMessage) {
    ++gCallsBeingServed;
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    --gCallsBeingServed;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RunJob(const std::function<void()>& work) {
  work();
  PostMessageW(gMainWindow, kLoadFinishedMessage, 0, 0);
  SetEvent(JobIdleEvent());
}

}  // namespace

void BindUiThread() {
  if (gUiCallWindow) return;
  gUiThreadId = GetCurrentThreadId();
  WNDCLASSW cls{};
  cls.lpfnWndProc = UiCallWindowProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.lpszClassName = L"ZrccUiCalls";
  RegisterClassW(&cls);
  // A message-only window: it is never shown and never closed with the main
  // window, so a job can reach the UI thread until the process ends.
  gUiCallWindow =
      CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
}

bool ServingJobCall() { return gCallsBeingServed > 0; }

bool OnUiThread() { return gUiThreadId == 0 || GetCurrentThreadId() == gUiThreadId; }

void RunOnUiThread(const std::function<void()>& call) {
  if (OnUiThread() || !gUiCallWindow) {
    call();
    return;
  }
  SendMessageW(gUiCallWindow, kRunCallMessage, 0, reinterpret_cast<LPARAM>(&call));
}

bool StartBackgroundJob(std::function<void()> work) {
  BindUiThread();
  if (BackgroundJobRunning()) {
    if (isLoading) return false;
    // The previous job has posted its end and is only about to signal it.
    WaitForSingleObject(JobIdleEvent(), INFINITE);
  }
  isLoading = true;
  gStopRequested = false;
  ResetEvent(JobIdleEvent());
  try {
    std::thread(RunJob, work).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the work is done here instead, so a load never
    // leaves the list unloaded (and then saved empty over the user's file).
    RunJob(work);
  }
  return true;
}

bool BackgroundJobRunning() { return WaitForSingleObject(JobIdleEvent(), 0) != WAIT_OBJECT_0; }

void RequestStop() {
  if (BackgroundJobRunning()) gStopRequested = true;
}

// Work done on the UI thread itself (a synchronous add, a job that found no
// thread of its own) is never cut short: it cannot be asked to stop while it
// runs, and a request left over from an ended job must not reach it.
bool StopRequested() { return !OnUiThread() && gStopRequested.load(); }

const std::atomic<bool>* StopRequest() { return OnUiThread() ? nullptr : &gStopRequested; }

void StopJobAndWait() {
  if (!BackgroundJobRunning()) return;
  gStopRequested = true;
  HANDLE idle = JobIdleEvent();
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &idle, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) break;
    // Carry out what other threads send to this thread's windows without
    // dispatching anything posted.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void BatchPacer::WaitForTurn() {
  // About one frame: rows still appear at once to the eye.
  constexpr auto kGap = std::chrono::milliseconds(16);
  const auto wait = last_ + kGap - std::chrono::steady_clock::now();
  if (wait > std::chrono::steady_clock::duration::zero()) {
    Sleep(static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()) + 1);
  }
}

void RunStepsOnUiThread(size_t count, const std::function<void(size_t)>& step, BatchPacer& pacer,
                        const std::function<void()>& afterSlice) {
  if (OnUiThread()) {
    for (size_t i = 0; i < count; ++i) step(i);
    if (afterSlice) afterSlice();
    return;
  }
  constexpr auto kSlice = std::chrono::milliseconds(20);
  size_t done = 0;
  while (done < count) {
    if (done > 0) pacer.WaitForTurn();
    if (StopRequested()) return;  // the window is closing: nothing more reaches it
    RunOnUiThread([&] {
      const auto until = std::chrono::steady_clock::now() + kSlice;
      do {
        step(done++);
      } while (done < count && std::chrono::steady_clock::now() < until);
      if (afterSlice) afterSlice();
    });
    pacer.Sent();
  }
}

}  // namespace zrcc
