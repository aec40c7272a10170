// Refreshing many games at once on a few worker threads, with the results
// handed back strictly in list order. The workers refresh copies and touch
// nothing but those copies and the disk: no window, no catalogue, no message
// box. Whoever takes the results applies them (rows, catalogue, warnings).
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/catalogue.h"
#include "platform/background_job.h"

namespace zrcc {

// How many workers refresh at once: the processor count, from 1 up to 4 (a
// walk waits on the disk as much as it computes, and more walks than that
// only compete for the same disk).
int RefreshWorkerCount();

// One game as a worker left it.
struct RefreshedGame {
  Game game;
  bool exists = false;        // RefreshGame's result: false when the folder is gone
  bool noExecutable = false;  // detection found no executable: the caller warns
};

// How one game is refreshed on a worker: RefreshGame's contract, for game
// `index` of the list.
using GameRefresher =
    std::function<bool(size_t index, Game& game, bool& noExecutable, const std::atomic<bool>* stop)>;

class OrderedRefresh {
 public:
  // Starts refreshing `games` (with RefreshGame and `forceDetect`).
  // `stop`, when given, ends the work early once it is set: the walks in
  // progress end at their next folder, and nothing more is handed out.
  OrderedRefresh(std::vector<Game> games, bool forceDetect, const std::atomic<bool>* stop = nullptr);
  // The same with a refresh of the caller's own, called on the workers.
  OrderedRefresh(std::vector<Game> games, GameRefresher refresher, const std::atomic<bool>* stop = nullptr);
  // `count` games that `refresher` fetches itself (it is handed an empty
  // game), each when a worker starts on it: no copy of the whole list is
  // held, only of the games being refreshed and not yet taken.
  OrderedRefresh(size_t count, GameRefresher refresher, const std::atomic<bool>* stop = nullptr);
  // Stops the workers after the games they are on and waits for them.
  ~OrderedRefresh();
  OrderedRefresh(const OrderedRefresh&) = delete;
  OrderedRefresh& operator=(const OrderedRefresh&) = delete;

  size_t size() const { return done_.size(); }
  // Waits until game `index` is refreshed and returns it for the caller to
  // take from; null once `stop` is set. Should no worker have been started,
  // the game is refreshed here on the caller's thread. Games are taken in
  // order: taking game `index` frees the games before it.
  RefreshedGame* Take(size_t index);
  // Game `index` when it is already refreshed, without waiting; else null.
  RefreshedGame* TryTake(size_t index);

 private:
  void StartWorkers();
  void Work();
  bool Stopping() const;
  // Claims the next game not yet started; false when none is left.
  bool Claim(size_t& index);
  void Refresh(size_t index);
  // Frees the games before `index`, which the caller is done with.
  void ReleaseBefore(size_t index);

  std::vector<Game> sources_;  // the games to refresh, when given; each moved out by its worker
  std::vector<std::unique_ptr<RefreshedGame>> results_;  // guarded by mutex_
  std::vector<char> done_;     // guarded by mutex_
  size_t next_ = 0;            // guarded by mutex_
  size_t released_ = 0;        // guarded by mutex_
  GameRefresher refresher_;
  const std::atomic<bool>* stop_;
  std::atomic<bool> closing_{false};
  std::mutex mutex_;
  std::condition_variable finished_;
  std::vector<std::thread> workers_;
};

// How a job takes the results of an OrderedRefresh back, the one loop that
// the load, Add Dir and the search of the PC share: in list order, on the
// job's thread, in batches of the games finished meanwhile, at most one batch
// per pacer gap, and not one more once the job is asked to stop. A result for
// which `startsBatch` (when given) is true begins a batch of its own: one with
// a warning to show before its row. `deliver` gets each batch with the index
// of its first game, and posts it.
using BatchStart = std::function<bool(const RefreshedGame& result)>;
using BatchDelivery = std::function<void(size_t first, std::vector<RefreshedGame> batch)>;
void TakeInOrder(const JobContext& job, OrderedRefresh& refresh, const BatchStart& startsBatch,
                 const BatchDelivery& deliver);

// Copies of the games a load refreshes, for its workers. The catalogue's
// games are the UI thread's, and copying them all at once would hold a long
// list twice, so the UI thread hands the copies over a few thousand ahead of
// the results it has taken back. Thread-safe.
class GameFeed {
 public:
  // The next games, in list order (UI thread).
  void Add(std::vector<Game> copies);
  // Takes game `index` once it has been handed over (a worker); false once
  // `stop` is set or the feed is closed first.
  bool Take(size_t index, Game& game, const std::atomic<bool>* stop);
  // Nothing more comes: waiting workers give up.
  void Close();

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::optional<Game>> games_;  // games [base_, base_ + size) as handed over; taken ones empty
  size_t base_ = 0;
  bool closed_ = false;
};

}  // namespace zrcc
