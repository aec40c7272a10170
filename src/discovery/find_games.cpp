#include "discovery/find_games.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/found_games.h"
#include "core/paths.h"
#include "core/size_text.h"
#include "core/text.h"
#include "deploy/exe_detection.h"
#include "deploy/mod_state.h"
#include "discovery/folder_intake.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "helpers/refresh_pool.h"
#include "platform/app_state.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/disk.h"

namespace zrcc {

namespace {

// The game refreshed with the executable at `named` as the choice: one walk
// for the candidates and the size, as detection makes it. False in
// `chosen` when the walk does not meet that file (it lies behind a link).
bool RefreshWithNamedExecutable(Game& game, const std::wstring& named, bool& chosen, const std::atomic<bool>* stop) {
  chosen = false;
  if (!IsExistingDirectory(game.path)) return false;
  std::vector<ExecutableCandidate> candidates;
  const uint64_t size = CollectExecutablesAndMeasure(game.path, candidates, stop);
  if (stop && stop->load()) return true;
  const std::wstring key = LowerKey(named);
  const auto match = std::find_if(candidates.begin(), candidates.end(), [&key](const ExecutableCandidate& c) {
    return LowerKey(CandidateFullPath(c)) == key;
  });
  if (match == candidates.end()) return true;
  chosen = true;
  size_t index = static_cast<size_t>(match - candidates.begin());
  if (const std::optional<size_t> real = PackagedGameExecutable(game.path, candidates, index)) index = *real;
  game.exeFolder = RelativeExeFolder(CandidateFullPath(candidates[index]), game.path);
  game.name = candidates[index].productName;
  game.sizeText = FormatSizeText(size);
  DetectModState(game);
  return true;
}

void SetStatus(const std::wstring& text) {
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

bool RefreshFoundGame(const FoundGame& found, Game& game, bool& noExecutable, const std::atomic<bool>* stop) {
  noExecutable = false;
  bool exists = false;
  bool chosen = false;
  // A launcher's word outlives updates that rename the executable: a file
  // that is gone leaves the choice to detection, without a walk of its own.
  const std::wstring named = found.executable.empty() ? std::wstring() : JoinPath(game.path, found.executable);
  if (!named.empty() && IsExistingFile(named)) {
    exists = RefreshWithNamedExecutable(game, named, chosen, stop);
    if (!exists) return false;
  }
  if (!chosen) exists = RefreshGameQuietly(game, true, noExecutable, stop);
  if (found.source == GameSource::Steam || !found.name.empty()) game.name = found.name;
  return exists;
}

FindSkip VanishedGameSkip(const FoundGame& found) {
  return {std::wstring(GameSourceName(found.source)) + L" game " + found.path, L"folder not found"};
}

bool FindGamesOnThisPc(HWND listView) {
  GameSearch search = SearchLaunchers(SetStatus);
  if (StopRequested()) return false;
  FindTally tally;
  std::vector<FoundGame> fresh;
  std::vector<Game> games;
  for (FoundGame& found : search.games) {
    if (ContainsPath(found.path)) {
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
      StopRequest());
  BatchPacer pacer;
  size_t next = 0;
  if (refresh.size() > 0) ShowAddingProgress(1, refresh.size());
  while (next < refresh.size()) {
    RefreshedGame* refreshed = refresh.Take(next);
    if (!refreshed) break;  // stopped: the games added so far stay
    pacer.WaitForTurn();
    if (StopRequested()) break;
    std::vector<Game> batch;
    do {
      if (!refreshed->exists) {
        search.skipped.push_back(VanishedGameSkip(fresh[next]));
      } else if (refreshed->noExecutable) {
        ++tally.noExecutable;
      } else {
        batch.push_back(std::move(refreshed->game));
      }
      ++next;
      refreshed = next < refresh.size() ? refresh.TryTake(next) : nullptr;
    } while (refreshed);
    AppendGames(listView, batch, pacer);
    tally.added += batch.size();
    if (next < refresh.size()) ShowAddingProgress(next + 1, refresh.size());
  }
  UpdateGameCountText();
  if (StopRequested()) return tally.added > 0;
  ShowMessageBox(nullptr, FindSummaryText(tally, search.skipped), L"Find Games on This PC",
                 MB_ICONINFORMATION | MB_OK);
  return tally.added > 0;
}

bool LaunchAsyncFindGames() {
  const HWND listView = gListView;
  return StartBackgroundJob([listView] {
    // Many games at once are saved at once: a crash or a kill later loses
    // none of them. A close that stopped the search saves by itself.
    if (FindGamesOnThisPc(listView) && !StopRequested()) SaveData();
  });
}

}  // namespace zrcc
