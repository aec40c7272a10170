#include "platform/background_job.h"

#include <cstdint>
#include <system_error>
#include <thread>
#include <utility>

#include "core/owner_thread.h"
#include "platform/ui_thread.h"

namespace zrcc {

struct JobState {
  uint64_t id = 0;
  std::atomic<bool> stop{false};
  bool here = false;  // run on the UI thread itself: results applied at once
};

namespace {

// The job whose results are wanted, and what the UI thread does for it. UI
// thread only.
struct CurrentJob {
  std::shared_ptr<JobState> state;
  JobHooks hooks;
  bool running = false;  // from its start until its end has been handled
};
CurrentJob gJob;
bool gLoadingForTesting = false;
HWND gJobWindow = nullptr;
uint64_t gLastJobId = 0;

// Manual-reset event, signalled while no job thread runs.
HANDLE JobIdleEvent() {
  static HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  return event;
}

bool IsCurrent(const std::shared_ptr<JobState>& state) { return gJob.running && gJob.state == state; }

void TellJobWindow(UINT message) {
  if (gJobWindow && IsWindow(gJobWindow)) SendMessageW(gJobWindow, message, 0, 0);
}

// The job's end, once its results are applied: the next command may come.
void FinishJob() {
  gJob.running = false;
  const JobHooks hooks = std::move(gJob.hooks);
  gJob.hooks = {};
  if (hooks.ended) hooks.ended();
  TellJobWindow(kLoadFinishedMessage);
}

void RunJobThread(const std::shared_ptr<JobState>& state, const JobWork& work) {
  JobContext job(state);
  work(job);
  // Posted after every result, so it is handled after them.
  PostToUiThread([state] {
    if (IsCurrent(state)) FinishJob();
  });
  SetEvent(JobIdleEvent());
}

}  // namespace

JobContext::JobContext(std::shared_ptr<JobState> state) : state_(std::move(state)) {}

bool JobContext::StopRequested() const { return !state_->here && state_->stop.load(); }

const std::atomic<bool>* JobContext::StopFlag() const { return state_->here ? nullptr : &state_->stop; }

void JobContext::Post(std::function<void()> apply) const {
  if (state_->here) {
    apply();
    return;
  }
  PostToUiThread([state = state_, apply = std::move(apply)] {
    if (IsCurrent(state) && !state->stop.load()) apply();
  });
}

void JobContext::PostAlways(std::function<void()> apply) const {
  if (state_->here) {
    apply();
    return;
  }
  PostToUiThread([state = state_, apply = std::move(apply)] {
    if (IsCurrent(state)) apply();
  });
}

bool StartBackgroundJob(JobWork work, JobHooks hooks) {
  CheckOwnerThread();
  BindUiThread();
  if (isLoading()) return false;
  // The previous job has been handled and is only about to signal its end.
  if (BackgroundJobRunning()) WaitForSingleObject(JobIdleEvent(), INFINITE);
  auto state = std::make_shared<JobState>();
  state->id = ++gLastJobId;
  gJob.state = state;
  gJob.hooks = std::move(hooks);
  gJob.running = true;
  ResetEvent(JobIdleEvent());
  try {
    std::thread(RunJobThread, state, std::move(work)).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the work is done here instead, so a load never
    // leaves the list unloaded (and then saved empty over the user's file).
    state->here = true;
    JobContext job(state);
    work(job);
    SetEvent(JobIdleEvent());
    if (IsCurrent(state)) FinishJob();
  }
  return true;
}

void RunJobHere(const JobWork& work) {
  CheckOwnerThread();
  auto state = std::make_shared<JobState>();
  state->here = true;
  JobContext job(state);
  work(job);
}

bool isLoading() {
  CheckOwnerThread();
  return gJob.running || gLoadingForTesting;
}

bool BackgroundJobRunning() { return WaitForSingleObject(JobIdleEvent(), 0) != WAIT_OBJECT_0; }

void RequestStop() {
  CheckOwnerThread();
  if (!gJob.running || !gJob.state || gJob.state->stop.load()) return;
  gJob.state->stop = true;
  const std::function<void()> stopped = std::move(gJob.hooks.stopped);
  gJob.hooks.stopped = nullptr;
  if (stopped) stopped();
}

bool CurrentJobStopped() {
  CheckOwnerThread();
  return gJob.running && gJob.state && gJob.state->stop.load();
}

void StopJobAndWait() {
  CheckOwnerThread();
  RequestStop();
  WaitForSingleObject(JobIdleEvent(), INFINITE);
  // Its end is still on its way to this thread: it is handled here instead.
  if (gJob.running) FinishJob();
}

void SetJobWindow(HWND window) {
  CheckOwnerThread();
  gJobWindow = window;
}

void SetLoadingForTesting(bool loading) {
  CheckOwnerThread();
  gLoadingForTesting = loading;
}

void BatchPacer::WaitForTurn() {
  // About one frame: rows still appear at once to the eye.
  constexpr auto kGap = std::chrono::milliseconds(16);
  const auto wait = last_ + kGap - std::chrono::steady_clock::now();
  if (wait > std::chrono::steady_clock::duration::zero()) {
    Sleep(static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()) + 1);
  }
}

}  // namespace zrcc
