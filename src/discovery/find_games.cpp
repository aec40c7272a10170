#include "discovery/find_games.h"

#include <utility>
#include <vector>

#include "core/found_games.h"
#include "core/paths.h"
#include "discovery/folder_intake.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "helpers/refresh_pool.h"
#include "platform/background_job.h"

namespace zrcc {

bool RefreshFoundGame(const FoundGame& found, Game& game, bool& noExecutable, const std::atomic<bool>* stop) {
  // A launcher's word outlives updates that rename the executable: a file
  // that is gone leaves the choice to detection.
  const std::wstring named = found.executable.empty() ? std::wstring() : JoinPath(game.path, found.executable);
  const bool exists = RefreshGameWithExecutable(game, named, &noExecutable, stop);
  if (found.source == GameSource::Steam || !found.name.empty()) game.name = found.name;
  return exists;
}

FindSkip VanishedGameSkip(const FoundGame& found) {
  return {SkipItem::LauncherGame, found.source, found.path, SkipReason::FolderNotFound};
}

bool FindGamesOnThisPc(const JobContext& job, HWND listView, FindSink& sink, const ListedFolders& listed) {
  GameSearch search = SearchLaunchers([&job, &sink](GameSource source) { job.Post([&sink, source] { sink.Searching(source); }); });
  if (job.StopRequested()) return false;
  FindTally tally;
  tally.cannotBeChanged = search.cannotBeChanged;
  std::vector<FoundGame> fresh;
  std::vector<Game> games;
  for (FoundGame& found : search.games) {
    if (listed.Contains(found.path)) {
      ++tally.alreadyListed;
      continue;
    }
    Game game;
    game.path = found.path;
    games.push_back(std::move(game));
    fresh.push_back(std::move(found));
  }
  // Refreshed a few at once, added in the order found, in batches of the
  // games finished meanwhile, as "Add Dir" adds a library.
  OrderedRefresh refresh(
      std::move(games),
      [&fresh](size_t i, Game& game, bool& noExecutable, const std::atomic<bool>* stop) {
        return RefreshFoundGame(fresh[i], game, noExecutable, stop);
      },
      job.StopFlag());
  const size_t total = refresh.size();
  if (total > 0) job.Post([&sink, total] { sink.Adding(1, total); });
  TakeInOrder(job, refresh, {}, [&](size_t first, std::vector<RefreshedGame> batch) {
    std::vector<Game> added;
    for (size_t i = 0; i < batch.size(); ++i) {
      RefreshedGame& result = batch[i];
      if (!result.exists) {
        search.skipped.push_back(VanishedGameSkip(fresh[first + i]));
      } else if (result.noExecutable) {
        ++tally.noExecutable;
      } else {
        ++tally.addedFrom[static_cast<size_t>(fresh[first + i].source)];
        added.push_back(std::move(result.game));
      }
    }
    tally.added += added.size();
    job.Post([listView, added = std::move(added)]() mutable { AppendGames(listView, std::move(added)); });
    const size_t next = first + batch.size();
    if (next < total) job.Post([&sink, next, total] { sink.Adding(next + 1, total); });
  });
  job.Post([listView] {
    if (GameRows* rows = RowsOf(listView)) rows->CountChanged();
  });
  if (job.StopRequested()) return tally.added > 0;
  job.Post([&sink, tally, skipped = std::move(search.skipped)] { sink.Found(tally, skipped); });
  return tally.added > 0;
}

bool LaunchAsyncFindGames(HWND listView, FindSink& sink) {
  if (isLoading()) return false;
  return StartBackgroundJob([listView, &sink, listed = ListedFolders::OfCatalogue()](JobContext& job) {
    // Many games at once are saved at once: a crash or a kill later loses
    // none of them. A close that stopped the search saves by itself.
    if (FindGamesOnThisPc(job, listView, sink, listed)) job.Post([&sink] { sink.SaveAdded(); });
  });
}

}  // namespace zrcc
