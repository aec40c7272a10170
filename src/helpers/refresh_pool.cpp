#include "helpers/refresh_pool.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

#include "helpers/game_rows.h"
#include "platform/background_job.h"

namespace zrcc {

int RefreshWorkerCount() {
  const unsigned processors = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(processors, 1u, 4u));
}

OrderedRefresh::OrderedRefresh(std::vector<Game> games, bool forceDetect, const std::atomic<bool>* stop)
    : OrderedRefresh(std::move(games),
                     [forceDetect](size_t, Game& game, bool& noExecutable, const std::atomic<bool>* halt) {
                       return RefreshGame(game, forceDetect, &noExecutable, halt);
                     },
                     stop) {}

OrderedRefresh::OrderedRefresh(std::vector<Game> games, GameRefresher refresher, const std::atomic<bool>* stop)
    : sources_(std::move(games)), results_(sources_.size()), done_(sources_.size(), 0),
      refresher_(std::move(refresher)), stop_(stop) {
  StartWorkers();
}

OrderedRefresh::OrderedRefresh(size_t count, GameRefresher refresher, const std::atomic<bool>* stop)
    : results_(count), done_(count, 0), refresher_(std::move(refresher)), stop_(stop) {
  StartWorkers();
}

void OrderedRefresh::StartWorkers() {
  const size_t workers = std::min(done_.size(), static_cast<size_t>(RefreshWorkerCount()));
  try {
    for (size_t i = 0; i < workers; ++i) workers_.emplace_back(&OrderedRefresh::Work, this);
  } catch (const std::system_error&) {
    // Fewer threads, or none: Take refreshes whatever no worker claims.
  }
}

OrderedRefresh::~OrderedRefresh() {
  closing_ = true;
  for (std::thread& worker : workers_) worker.join();
}

bool OrderedRefresh::Stopping() const { return closing_.load() || (stop_ && stop_->load()); }

bool OrderedRefresh::Claim(size_t& index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Stopping() || next_ >= results_.size()) return false;
  index = next_++;
  return true;
}

void OrderedRefresh::Refresh(size_t index) {
  // Only this thread touches the game until it is marked done.
  auto result = std::make_unique<RefreshedGame>();
  if (index < sources_.size()) result->game = std::move(sources_[index]);
  result->exists = refresher_(index, result->game, result->noExecutable, stop_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    results_[index] = std::move(result);
    done_[index] = 1;
  }
  finished_.notify_all();
}

void OrderedRefresh::Work() {
  size_t index = 0;
  while (Claim(index)) Refresh(index);
}

void OrderedRefresh::ReleaseBefore(size_t index) {
  for (; released_ < index; ++released_) results_[released_].reset();
}

RefreshedGame* OrderedRefresh::Take(size_t index) {
  if (index >= done_.size()) return nullptr;
  std::unique_lock<std::mutex> lock(mutex_);
  ReleaseBefore(index);
  // Once stopping, even a finished game is not handed out: its walk may
  // have been cut short by the stop.
  while (!done_[index] || Stopping()) {
    if (Stopping()) return nullptr;
    if (next_ == index) {
      // Unclaimed although every earlier game is done: no worker is left
      // to do it (none could be started), so it is done here.
      ++next_;
      lock.unlock();
      Refresh(index);
      lock.lock();
      continue;
    }
    // The stop flag is set without a notification: look at it now and then.
    finished_.wait_for(lock, std::chrono::milliseconds(50));
  }
  return results_[index].get();
}

RefreshedGame* OrderedRefresh::TryTake(size_t index) {
  if (index >= done_.size()) return nullptr;
  std::lock_guard<std::mutex> lock(mutex_);
  ReleaseBefore(index);
  return done_[index] && !Stopping() ? results_[index].get() : nullptr;
}

void TakeInOrder(const JobContext& job, OrderedRefresh& refresh, const BatchStart& startsBatch,
                 const BatchDelivery& deliver) {
  BatchPacer pacer;
  size_t next = 0;
  while (next < refresh.size()) {
    RefreshedGame* refreshed = refresh.Take(next);
    if (!refreshed) break;  // stopped while waiting
    pacer.WaitForTurn();
    if (job.StopRequested()) break;  // a close during the pause: nothing more is handed over
    // This game, then every following one that is already done, up to the
    // next one that must begin a batch of its own.
    const size_t first = next;
    std::vector<RefreshedGame> batch;
    do {
      batch.push_back(std::move(*refreshed));
      ++next;
      refreshed = next < refresh.size() ? refresh.TryTake(next) : nullptr;
    } while (refreshed && !(startsBatch && startsBatch(*refreshed)));
    deliver(first, std::move(batch));
    pacer.Sent();
  }
}

void GameFeed::Add(std::vector<Game> copies) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Game& game : copies) games_.emplace_back(std::move(game));
  }
  arrived_.notify_all();
}

bool GameFeed::Take(size_t index, Game& game, const std::atomic<bool>* stop) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (stop && stop->load()) return false;
    if (index >= base_ && index - base_ < games_.size() && games_[index - base_]) {
      game = std::move(*games_[index - base_]);
      games_[index - base_].reset();
      while (!games_.empty() && !games_.front()) {
        games_.pop_front();
        ++base_;
      }
      return true;
    }
    if (closed_ || index < base_) return false;
    // The stop request is set without a notification: look at it now and then.
    arrived_.wait_for(lock, std::chrono::milliseconds(50));
  }
}

void GameFeed::Close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  arrived_.notify_all();
}

}  // namespace zrcc
