// Long work off the UI thread: one background job at a time (the load of the
// game list, an Add Dir, the refresh of a game after a deployment), on a
// thread of its own, while the window keeps painting and answering.
//
// While a job runs, its thread owns the catalogue. The UI thread refuses
// every command meanwhile and touches the catalogue only inside the calls
// the job hands it through RunOnUiThread, while the job waits for them. The
// job reaches windows only through RunOnUiThread and the two posted
// messages below; message boxes it asks for are shown on the UI thread too
// (see ShowMessageBox).
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>

#include "platform/app_state.h"

namespace zrcc {

constexpr UINT kLoadStartedMessage = WM_APP + 1;   // posted by a load when it starts
constexpr UINT kLoadFinishedMessage = WM_APP + 2;  // posted by every job when it has ended

// Starts `work` on a thread of its own and returns true, unless a job is
// still running (then nothing happens and the result is false). UI thread
// only. When the work has returned, kLoadFinishedMessage is posted to the
// main window. Should no thread be available, the work runs here instead.
bool StartBackgroundJob(std::function<void()> work);

// Whether a job thread is still running (it may be past its work and only
// about to post its end).
bool BackgroundJobRunning();

// Asks the running job to stop soon: every folder walk checks the request
// before it enters the next folder, and the job adds or shows nothing more.
void RequestStop();
// Whether the job calling this has been asked to stop; always false on the
// UI thread, whose work is never cut short.
bool StopRequested();
// The request itself, for the walks of the calling job and its workers;
// null on the UI thread.
const std::atomic<bool>* StopRequest();

// Asks a running job to stop and waits for it, carrying out what it hands to
// the UI thread meanwhile (so the wait never deadlocks). UI thread only;
// returns at once when no job runs.
void StopJobAndWait();

// Whether the UI thread is in the middle of a call a job handed it (a box
// the job asked for is open, say): the job cannot end before that call
// returns, so it must not be waited for then. UI thread only.
bool ServingJobCall();

// Runs `call` on the UI thread and returns when it has been carried out;
// on the UI thread itself it is called at once. One cross-thread round trip
// however much `call` does, which is why jobs hand over whole batches of
// rows at a time.
void RunOnUiThread(const std::function<void()>& call);

// Spaces a job's batches for the UI thread. The UI thread carries out sent
// calls before anything posted, so a job that sent batch after batch without
// a pause would hold back the user's clicks, keys and the close until it
// ended; a short pause between batches leaves room for them, and the games
// that finish meanwhile simply join the next batch.
class BatchPacer {
 public:
  // Waits until the gap since the last batch has passed.
  void WaitForTurn();
  // Notes that a batch has just been handed over.
  void Sent() { last_ = std::chrono::steady_clock::now(); }

 private:
  std::chrono::steady_clock::time_point last_{};
};

// Hands `count` steps (step(0), step(1), ...) to the UI thread in order, as
// many per call as fit in a slice of about 20 ms, each call ending with
// `afterSlice` (when given), with the pacer's gap between calls: a batch of
// many rows never keeps the window from answering for longer than one
// slice. On the UI thread itself all run at once. Once the job is asked to
// stop, the steps not yet handed over are left out, the first ones too.
void RunStepsOnUiThread(size_t count, const std::function<void(size_t)>& step, BatchPacer& pacer,
                        const std::function<void()>& afterSlice = {});

// Whether the calling thread is the UI thread (the one that started the
// first job or made the main window).
bool OnUiThread();

// Records the calling thread as the UI thread and makes what RunOnUiThread
// needs there. Called by the main window's creation and by the first job.
void BindUiThread();

}  // namespace zrcc
