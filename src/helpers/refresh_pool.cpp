#include "helpers/refresh_pool.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

#include "helpers/game_rows.h"

namespace zrcc {

int RefreshWorkerCount() {
  const unsigned processors = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(processors, 1u, 4u));
}

OrderedRefresh::OrderedRefresh(std::vector<Game> games, bool forceDetect, const std::atomic<bool>* stop)
    : OrderedRefresh(std::move(games),
                     [forceDetect](size_t, Game& game, bool& noExecutable, const std::atomic<bool>* halt) {
                       return RefreshGameQuietly(game, forceDetect, noExecutable, halt);
                     },
                     stop) {}

OrderedRefresh::OrderedRefresh(std::vector<Game> games, GameRefresher refresher, const std::atomic<bool>* stop)
    : done_(games.size(), 0), refresher_(std::move(refresher)), stop_(stop) {
  results_.reserve(games.size());
  for (Game& game : games) results_.push_back(RefreshedGame{std::move(game), false, false});
  const size_t workers = std::min(results_.size(), static_cast<size_t>(RefreshWorkerCount()));
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
  RefreshedGame& result = results_[index];  // only this thread touches it until it is marked done
  result.exists = refresher_(index, result.game, result.noExecutable, stop_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_[index] = 1;
  }
  finished_.notify_all();
}

void OrderedRefresh::Work() {
  size_t index = 0;
  while (Claim(index)) Refresh(index);
}

RefreshedGame* OrderedRefresh::Take(size_t index) {
  if (index >= results_.size()) return nullptr;
  std::unique_lock<std::mutex> lock(mutex_);
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
  return &results_[index];
}

RefreshedGame* OrderedRefresh::TryTake(size_t index) {
  if (index >= results_.size()) return nullptr;
  std::lock_guard<std::mutex> lock(mutex_);
  return done_[index] && !Stopping() ? &results_[index] : nullptr;
}

}  // namespace zrcc
