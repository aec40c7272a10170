#include "helpers/loader.h"

#include <deque>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "core/text.h"
#include "helpers/game_rows.h"
#include "helpers/refresh_pool.h"
#include "platform/app_folder.h"
#include "platform/background_job.h"

namespace zrcc {

namespace {

// A game as the file stores it: what a refresh reads, and what is kept of a
// game not checked yet.
Game StoredGame(GameListEntry entry) {
  Game game;
  game.path = std::move(entry.path);
  game.exeFolder = std::move(entry.exeFolder);
  game.name = std::move(entry.name);
  return game;
}

// How far ahead of the results taken back the workers are handed copies: far
// enough that they never wait for the UI thread (which hands over more after
// every batch), small enough that the list is never held twice.
constexpr size_t kFeedAhead = 8192;

// The UI thread's half of a load: the games of the file not checked yet, in
// file order, and the copies of them handed to the workers. The checked games
// go into the catalogue one by one as their results arrive, each in its
// place, so the catalogue is never compacted, and it never holds a game that
// is not the file's.
class ListLoad {
 public:
  ListLoad(HWND listView, LoadSink& sink, std::shared_ptr<GameFeed> feed)
      : listView_(listView), sink_(sink), feed_(std::move(feed)) {}

  void Started() {
    sink_.LoadStarted();
    ClearGameRows(listView_);
    ClearGames();
  }

  void FileRead(const ListFileRead& read) {
    NoteListFileRead(read);
    if (read.NotRead() && !CurrentJobStopped()) sink_.ListNotRead(read);
    if (!read.HasText()) ShowCount();  // no list (yet): the count says so
  }

  // The whole list, as the file has it. Taken over as it is: the list is
  // never held twice, and what waits is only what the file stores of each
  // game, not a whole game record.
  void ListRead(std::deque<GameListEntry> games) {
    pending_ = std::move(games);
    if (CurrentJobStopped()) {
      KeepUnchecked();
      return;
    }
    ReserveGames(pending_.size());
    sink_.Loading();
    Feed();
  }

  // Results for games [first, first + batch size) of the file. A game with a
  // warning comes first in its batch: the warning is shown when exactly the
  // rows before its game are in.
  void Checked(size_t first, std::vector<RefreshedGame> batch) {
    if (first != checked_) return;  // never: results come in order
    for (RefreshedGame& result : batch) {
      if (pending_.empty()) return;
      if (result.noExecutable && result.exists) {
        // Said while the game is still in the list as the file has it.
        const int32_t place = GameCount();
        sink_.NoExecutable(result.game.path);
        if (CurrentJobStopped()) {
          // A close meanwhile kept every game not checked yet as the file
          // has it, this one too: it takes what its check found, and no row
          // more is shown.
          if (Game* kept = GetGame(place); kept && kept->path == result.game.path) *kept = std::move(result.game);
          return;
        }
      }
      pending_.pop_front();
      ++checked_;
      if (!result.exists) {  // its folder is gone
        ++gone_;
        continue;
      }
      if (!ContainsPath(result.game.path)) AddGame(std::move(result.game));
    }
    ShowGameRows(listView_, GameCount());
    UpdateWindow(listView_);
    Feed();
  }

  // Stopped (the window closing) or ended early: the games not checked stay
  // in the list as the file has them, after the checked ones.
  void KeepUnchecked() {
    feed_->Close();
    for (GameListEntry& entry : pending_) {
      if (!ContainsPath(entry.path)) AddGame(StoredGame(std::move(entry)));
    }
    pending_.clear();
    pending_.shrink_to_fit();
  }

  void Ended() {
    KeepUnchecked();
    // Also a load that leaves no game ends with its count, not "Loading...".
    ShowCount();
    sink_.Loaded(gone_);
  }

 private:
  void ShowCount() {
    if (GameRows* rows = RowsOf(listView_)) rows->CountChanged();
  }

  void Feed() {
    const size_t until = std::min(checked_ + pending_.size(), checked_ + kFeedAhead);
    if (fed_ >= until) return;
    std::vector<Game> copies;
    copies.reserve(until - fed_);
    for (size_t i = fed_; i < until; ++i) {
      copies.push_back(StoredGame(pending_[i - checked_]));
    }
    fed_ = until;
    feed_->Add(std::move(copies));
  }

  HWND listView_;
  LoadSink& sink_;
  std::shared_ptr<GameFeed> feed_;
  std::deque<GameListEntry> pending_;  // file games [checked_, checked_ + size)
  size_t checked_ = 0;
  size_t fed_ = 0;
  size_t gone_ = 0;
};

// The job's half: read, parse, hand the list over, check every game as a
// copy, hand the results back in order.
void LoadList(const JobContext& job, ListLoad* load, const std::shared_ptr<GameFeed>& feed, const std::wstring& path) {
  job.PostAlways([load] { load->Started(); });
  ListFileRead read = ReadGameListFile(path, job.StopFlag());
  std::wstring text = std::move(read.text);
  read.text.clear();
  const bool hasText = read.HasText();
  job.PostAlways([load, read] { load->FileRead(read); });
  if (!hasText) return;
  std::deque<GameListEntry> games;
  {
    std::vector<GameListEntry> entries = ParseGameListText(text);
    text = std::wstring();
    std::unordered_set<std::wstring> keys;
    for (GameListEntry& entry : entries) {
      if (!keys.insert(LowerKey(entry.path)).second) continue;  // the same folder again: the first one counts
      games.push_back(std::move(entry));
    }
  }
  const size_t count = games.size();
  // Handed over whole even to a stopped load: every game of the file is
  // saved again.
  job.PostAlways([load, games = std::move(games)]() mutable { load->ListRead(std::move(games)); });
  OrderedRefresh refresh(
      count,
      [feed](size_t index, Game& game, bool& noExecutable, const std::atomic<bool>* stop) {
        return feed->Take(index, game, stop) && RefreshGame(game, false, &noExecutable, stop);
      },
      job.StopFlag());
  TakeInOrder(
      job, refresh, [](const RefreshedGame& result) { return result.noExecutable; },
      [&job, load](size_t first, std::vector<RefreshedGame> batch) {
        job.Post([load, first, batch = std::move(batch)]() mutable { load->Checked(first, std::move(batch)); });
      });
}

}  // namespace

bool StartListLoad(HWND listView, LoadSink& sink) {
  const std::wstring path = AppFilePath(kDataFileName);
  auto feed = std::make_shared<GameFeed>();
  auto load = std::make_shared<ListLoad>(listView, sink, feed);
  ListLoad* ui = load.get();
  JobHooks hooks;
  hooks.stopped = [load] { load->KeepUnchecked(); };
  hooks.ended = [load] { load->Ended(); };
  return StartBackgroundJob(
      [ui, feed, path](JobContext& job) {
        // Nowhere to read from: the list is left as it is.
        if (!path.empty()) LoadList(job, ui, feed, path);
      },
      std::move(hooks));
}

}  // namespace zrcc
