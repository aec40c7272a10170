#include "helpers/loader.h"

#include <commctrl.h>

#include <memory>
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

// Shows games [row count, end) of the catalogue, painted and counted, in
// one call to the UI thread however many they are: the list holds no texts,
// so a hand-over only moves its count. Nothing is handed over once the job
// is asked to stop.
void ShowLoadedRows(int32_t end, BatchPacer& pacer) {
  if (StopRequested()) return;
  RunOnUiThread([end] {
    ShowGameRows(gListView, end);
    UpdateWindow(gListView);
    UpdateGameCountText();
  });
  pacer.Sent();
}

// Checks every game of the catalogue on disk. The games are refreshed as
// copies on a few worker threads; this thread takes them back in file order
// and alone changes the catalogue, so rows appear in order, as soon as a
// game and every game before it are done.
//
// The catalogue is compacted as it goes: games [0, kept) are checked and
// shown, [kept, next) are the places of dropped or moved games, [next, end)
// are not checked yet. The workers have ended when this returns.
void RefreshInFileOrder(std::vector<Game>& games, size_t& kept, size_t& next) {
  // Each worker copies the game it starts on from the catalogue, so no
  // second copy of a long list is ever held. That read never meets a
  // write: this thread writes only places below `kept`, kept <= next, and
  // every game up to `next` has been handed over by its worker already.
  OrderedRefresh refresh(
      games.size(),
      [&games](size_t index, Game& game, bool& noExecutable, const std::atomic<bool>* stop) {
        game = games[index];
        return RefreshGameQuietly(game, false, noExecutable, stop);
      },
      StopRequest());
  BatchPacer pacer;
  while (next < refresh.size() && !StopRequested()) {
    RefreshedGame* refreshed = refresh.Take(next);
    if (!refreshed) break;  // stopped while waiting
    pacer.WaitForTurn();
    if (StopRequested()) break;  // a close during the pause shows and adds nothing more
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
    ShowLoadedRows(static_cast<int32_t>(kept), pacer);
  }
}

// The gap is closed once at the end, so dropping any number of vanished
// games costs one pass, not one shift of the list each.
void CheckLoadedGames() {
  std::vector<Game>& games = gGameList.games;
  size_t kept = 0;
  size_t next = 0;
  RefreshInFileOrder(games, kept, next);
  // The catalogue's size changes where the rows shown are read from: on the
  // UI thread.
  RunOnUiThread([&games, kept, next] {
    games.erase(games.begin() + static_cast<std::ptrdiff_t>(kept), games.begin() + static_cast<std::ptrdiff_t>(next));
  });
}

}  // namespace

void LoadData() {
  PostMessageW(gMainWindow, kLoadStartedMessage, 0, 0);
  if (AppFilePath(kDataFileName).empty()) return;  // nowhere to read from: leave the list as it is
  RunOnUiThread([] {
    ClearGameRows(gListView);
    ClearGames();
  });
  {
    std::wstring text;
    if (!ReadDataFileText(text)) {
      UpdateGameCountText();  // no list (yet): the count says so
      return;
    }
    SetStatusText(L"Loading...");
    // The whole file enters the catalogue at once, so that a load stopped
    // part-way (the window closing) still holds, and saves, every game. No
    // row is shown yet, so the job may fill the catalogue itself.
    std::vector<GameListEntry> entries = ParseGameListText(text);
    text = std::wstring();
    gGameList.games.reserve(entries.size());
    for (GameListEntry& entry : entries) {
      if (ContainsPath(entry.path)) continue;
      Game game;
      game.path = std::move(entry.path);
      game.exeFolder = std::move(entry.exeFolder);
      game.name = std::move(entry.name);
      AddGame(std::move(game));
    }
  }
  CheckLoadedGames();
  // Also a load that leaves no game ends with its count, not "Loading...".
  UpdateGameCountText();
}

bool LaunchAsyncLoadData() { return StartBackgroundJob(LoadData); }

}  // namespace zrcc
