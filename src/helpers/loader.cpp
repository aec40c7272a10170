#include "helpers/loader.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "core/text.h"
#include "deploy/exe_detection.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "helpers/refresh_pool.h"
#include "platform/app_folder.h"
#include "platform/app_state.h"
#include "platform/list_view.h"

namespace zrcc {

namespace {

void SetStatusText(const wchar_t* text) {
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

// Inserts rows [first, end) of the catalogue in order, each painted and
// counted at once. A few calls to the UI thread per batch of finished games,
// rather than one per list-view or status-bar call (nine per row): every
// message one thread sends to another's window is a round trip between them.
void InsertLoadedRows(int32_t first, int32_t end, BatchPacer& pacer) {
  if (first >= end) return;
  RunStepsOnUiThread(static_cast<size_t>(end - first), [first](size_t step) {
    const int32_t row = first + static_cast<int32_t>(step);
    const Game* game = GetGame(row);
    if (!game) BrokenInvariant("LoadData: GetGame returned nullptr - out of bounds!");
    InsertGameRow(gListView, row, *game);
    UpdateWindow(gListView);
    UpdateGameCountText();
  }, pacer);
}

// Checks every game of the catalogue on disk. The games are refreshed as
// copies on a few worker threads; this thread takes them back in file order
// and alone changes the catalogue, so rows appear in order and one by one, as
// soon as a game and every game before it are done.
//
// The catalogue is compacted as it goes: games [0, kept) are checked and
// shown, [kept, next) are the places of dropped or moved games, [next, end)
// are not checked yet. The gap is closed once at the end, so dropping any
// number of vanished games costs one pass, not one shift of the list each.
void CheckLoadedGames() {
  std::vector<Game>& games = gGameList.games;
  OrderedRefresh refresh(games, false, StopRequest());
  size_t kept = 0;
  size_t next = 0;
  BatchPacer pacer;
  while (next < refresh.size() && !StopRequested()) {
    RefreshedGame* refreshed = refresh.Take(next);
    if (!refreshed) break;  // stopped while waiting
    pacer.WaitForTurn();
    if (StopRequested()) break;  // a close during the pause shows and adds nothing more
    const size_t firstRow = kept;
    // This game, then every following one that is already done, up to the
    // next one that has a warning to show first.
    do {
      if (refreshed->noExecutable) WarnNoExecutable(refreshed->game.path);
      if (refreshed->exists) {
        games[kept++] = std::move(refreshed->game);
      } else {
        gGameList.pathKeys.erase(LowerKey(games[next].path));  // its folder is gone
      }
      ++next;
      refreshed = next < refresh.size() && !StopRequested() ? refresh.TryTake(next) : nullptr;
    } while (refreshed && !refreshed->noExecutable);
    InsertLoadedRows(static_cast<int32_t>(firstRow), static_cast<int32_t>(kept), pacer);
  }
  games.erase(games.begin() + static_cast<std::ptrdiff_t>(kept), games.begin() + static_cast<std::ptrdiff_t>(next));
}

}  // namespace

void LoadData() {
  PostMessageW(gMainWindow, kLoadStartedMessage, 0, 0);
  if (AppFilePath(kDataFileName).empty()) return;  // nowhere to read from: leave the list as it is
  std::wstring text;
  DeleteAllListRows(gListView);
  ClearGames();
  if (!ReadDataFileText(text)) {
    UpdateGameCountText();  // no list (yet): the count says so
    return;
  }
  SetStatusText(L"Loading...");

  // The whole file enters the catalogue at once, so that a load stopped
  // part-way (the window closing) still holds, and saves, every game.
  for (const GameListEntry& entry : ParseGameListText(text)) {
    if (ContainsPath(entry.path)) continue;
    Game game;
    game.path = entry.path;
    game.exeFolder = entry.exeFolder;
    game.name = entry.name;
    AddGame(game);
  }
  CheckLoadedGames();
  // Also a load that leaves no game ends with its count, not "Loading...".
  UpdateGameCountText();
}

bool LaunchAsyncLoadData() { return StartBackgroundJob(LoadData); }

}  // namespace zrcc
