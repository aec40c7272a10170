// Long work off the UI thread: one background job at a time (the load of the
// game list, an Add Dir, a search of the PC, the refresh of a game after a
// deployment, an Update, an Undo Copy), on a thread of its own, while the
// window keeps painting and answering.
//
// The contract: the UI thread owns the catalogue, the rows, the window, the
// package's state and the saves (core/owner_thread.h checks every access). A
// job gets its inputs as values when it starts (paths, copies of the games
// it refreshes) and hands its results back by posting them to the UI thread
// (JobContext::Post); it never waits for the UI thread, so nothing can
// deadlock. The UI thread applies the results in the order they were posted,
// and only while they are still wanted: the job that made them is the
// current one and has not been asked to stop. Where the user must answer a
// question half-way, the job's part ends with the question as its result;
// the UI thread asks and starts the next part.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace zrcc {

constexpr UINT kLoadStartedMessage = WM_APP + 1;   // sent to the job window when a job has started
constexpr UINT kLoadFinishedMessage = WM_APP + 2;  // sent to the job window when a job has ended

struct JobState;

// What a job's work is handed: its stop request and the way to the UI thread.
class JobContext {
 public:
  explicit JobContext(std::shared_ptr<JobState> state);
  // Whether the job has been asked to stop (the window is closing): it then
  // ends soon and posts nothing more that matters.
  bool StopRequested() const;
  // The request itself, for the folder walks of the job and its workers,
  // which check it at every folder; null for work done on the UI thread
  // itself, which is never cut short.
  const std::atomic<bool>* StopFlag() const;
  // Hands `apply` to the UI thread, which runs it after everything the job
  // posted before, unless by then the job has been asked to stop or is no
  // longer the current one. On the UI thread itself (RunJobHere) it runs at
  // once.
  void Post(std::function<void()> apply) const;
  // The same, applied after a stop too (what a stopped job must still hand
  // over, such as the games it holds).
  void PostAlways(std::function<void()> apply) const;

 private:
  std::shared_ptr<JobState> state_;
};

using JobWork = std::function<void(JobContext& job)>;

// What the UI thread does for a job besides applying its results.
struct JobHooks {
  // The job has been asked to stop (a close, the end of the session): from
  // now on none of its results is applied, so whatever it would still have
  // handed over is put in place here, at once.
  std::function<void()> stopped;
  // The job has ended, after its last result.
  std::function<void()> ended;
};

// Starts `work` on a thread of its own and returns true, unless a job is
// running (then nothing happens and the result is false). UI thread only.
// The job window gets kLoadStartedMessage now and kLoadFinishedMessage once
// the job has ended and its results are applied. Should no thread be
// available, the work runs here, its results applied as they come.
bool StartBackgroundJob(JobWork work, JobHooks hooks = {});

// Runs `work` on the UI thread itself, as a job would run it: every result
// it posts is applied at once, and it is never asked to stop. For the tests
// and the inspector, which want an add's outcome without a message loop.
void RunJobHere(const JobWork& work);

// True from the start of a job until its end has been handled: the wait
// cursor follows it, and no command is carried out while it is set. UI
// thread only.
bool isLoading();
// Whether the job's thread is still running (it may be past its work).
bool BackgroundJobRunning();

// Asks the running job to stop: every folder walk of it ends at its next
// folder, nothing more it posts is applied, and its `stopped` hook runs now.
// UI thread only; nothing happens when no job runs.
void RequestStop();
// Whether the running job has been asked to stop: a result that opened a
// box looks again once the box is closed. UI thread only.
bool CurrentJobStopped();

// Asks the running job to stop and waits for its thread to end, then ends it
// here (its `ended` hook, the job window told): for a window destroyed while
// a job runs. Nothing is waited for but the job's own work, which never
// waits for the UI thread. UI thread only.
void StopJobAndWait();

// The window that is told when a job starts and ends (the main window).
void SetJobWindow(HWND window);

// For the tests: makes the program behave as while a job runs (every
// command refused) without one, or ends that again.
void SetLoadingForTesting(bool loading);

// Spaces a job's results for the UI thread. Posted messages are handled
// before the user's clicks and keys, so a job that posted result after
// result without a pause would hold back the input and the close until it
// ended; a short pause between posts leaves room for them, and the games that
// finish meanwhile simply join the next post.
class BatchPacer {
 public:
  // Waits until the gap since the last post has passed.
  void WaitForTurn();
  // Notes that a batch has just been posted.
  void Sent() { last_ = std::chrono::steady_clock::now(); }

 private:
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace zrcc
