#include "helpers/loader.h"

#include <commctrl.h>

#include <atomic>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "discovery/exe_detection.h"
#include "helpers/app_folder.h"
#include "helpers/catalogue.h"
#include "helpers/data_file.h"
#include "helpers/game_list_file.h"
#include "helpers/game_rows.h"
#include "helpers/refresh_pool.h"
#include "ui/window_handles.h"

namespace zrcc {

bool isLoading = false;

namespace {

std::atomic<bool> gStopRequested{false};
// Manual-reset event, signalled while no loader thread runs.
HANDLE LoaderIdleEvent() {
  static HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  return event;
}

void SetStatusText(const wchar_t* text) {
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

// Rows [first, end) of the catalogue, to be inserted in order.
struct RowRange {
  int32_t first;
  int32_t end;
};
constexpr UINT kInsertRowsMessage = WM_APP + 1;  // private to the row window

// Inserts each row, paints it and updates the count, one row after another.
void InsertAndPaintRows(const RowRange& rows) {
  for (int32_t row = rows.first; row < rows.end; ++row) {
    const Game* game = GetGame(row);
    if (!game) BrokenInvariant("LoadData: GetGame returned nullptr - out of bounds!", "src/helpers/loader.cpp", __LINE__);
    InsertGameRow(gListView, row, *game);
    UpdateWindow(gListView);
    UpdateGameCountText();
  }
}

LRESULT CALLBACK RowWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kInsertRowsMessage) {
    InsertAndPaintRows(*reinterpret_cast<const RowRange*>(lParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of the UI thread through which the loader has its
// rows inserted. Every message one thread sends to another's window is a
// round trip between them; one message per batch of finished games, rather
// than one per list-view or status-bar call (nine per row), keeps that cost
// out of the load, while the rows are still inserted, painted and counted
// one by one, on the UI thread. Made on the first call, from the UI thread.
HWND RowWindow() {
  static HWND window = [] {
    WNDCLASSW cls{};
    cls.lpfnWndProc = RowWindowProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"ZrccLoaderRows";
    RegisterClassW(&cls);
    return CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
  }();
  return window;
}

void InsertLoadedRows(int32_t first, int32_t end) {
  if (first >= end) return;
  RowRange rows{first, end};
  if (const HWND window = RowWindow()) {
    SendMessageW(window, kInsertRowsMessage, 0, reinterpret_cast<LPARAM>(&rows));
  } else {
    InsertAndPaintRows(rows);  // no window to be had: every call goes across on its own
  }
}

void RunLoaderThread() {
  LoadData();
  PostMessageW(gMainWindow, kLoadFinishedMessage, 0, 0);
  SetEvent(LoaderIdleEvent());
}

}  // namespace

void LoadData() {
  PostMessageW(gMainWindow, kLoadStartedMessage, 0, 0);
  if (AppFilePath(kDataFileName).empty()) return;  // nowhere to read from: leave the list as it is
  std::wstring text;
  SendMessageW(gListView, LVM_DELETEALLITEMS, 0, 0);
  ClearGames();
  if (!ReadDataFileText(text)) return;
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

  // The games are refreshed as copies on a few worker threads; this thread
  // takes them back in file order and alone changes the catalogue and sends
  // the row messages, so the rows appear in order and one by one, as soon as
  // a game and every game before it are done.
  OrderedRefresh refresh(gGameList.games, false, &gStopRequested);
  int32_t row = 0;
  size_t next = 0;
  while (next < refresh.size() && !gStopRequested.load()) {
    RefreshedGame* refreshed = refresh.Take(next);
    if (!refreshed) break;  // stopped while waiting
    const int32_t firstRow = row;
    // This game, then every following one that is already done, up to the
    // next one that has a warning to show first.
    do {
      Game* game = GetGame(row);
      if (!game) BrokenInvariant("LoadData: GetGame returned nullptr - out of bounds!", "src/helpers/loader.cpp", __LINE__);
      if (refreshed->noExecutable) WarnNoExecutable(game->path);
      if (refreshed->exists) {
        *game = std::move(refreshed->game);
        ++row;
      } else {
        RemoveGameAt(row);  // its folder is gone: the next game moves to this row
      }
      refreshed = ++next < refresh.size() && !gStopRequested.load() ? refresh.TryTake(next) : nullptr;
    } while (refreshed && !refreshed->noExecutable);
    InsertLoadedRows(firstRow, row);
  }
  // Also a load that leaves no game ends with its count, not "Loading...".
  UpdateGameCountText();
}

bool LaunchAsyncLoadData() {
  if (LoaderRunning()) {
    if (isLoading) return false;
    // The previous loader has posted its end and is only about to signal it.
    WaitForSingleObject(LoaderIdleEvent(), INFINITE);
  }
  RowWindow();  // made here, so that it belongs to the UI thread
  isLoading = true;
  gStopRequested = false;
  ResetEvent(LoaderIdleEvent());
  try {
    std::thread(RunLoaderThread).detach();
  } catch (const std::system_error&) {
    // No thread to be had: load here instead, so the list is never left
    // unloaded (and then saved empty over the user's file).
    RunLoaderThread();
  }
  return true;
}

bool LoaderRunning() { return WaitForSingleObject(LoaderIdleEvent(), 0) != WAIT_OBJECT_0; }

void StopLoadAndWait() {
  if (!LoaderRunning()) return;
  gStopRequested = true;
  HANDLE idle = LoaderIdleEvent();
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &idle, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) break;
    // Carry out messages other threads send to this thread's windows
    // without dispatching anything posted.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace zrcc
