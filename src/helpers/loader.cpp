#include "helpers/loader.h"

#include <commctrl.h>

#include <atomic>
#include <string>
#include <system_error>
#include <thread>

#include "helpers/app_folder.h"
#include "helpers/catalogue.h"
#include "helpers/data_file.h"
#include "helpers/game_list_file.h"
#include "helpers/game_rows.h"
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

  for (int32_t i = 0; i < GameCount() && !gStopRequested.load();) {
    Game* game = GetGame(i);
    if (!game) BrokenInvariant("LoadData: GetGame returned nullptr - out of bounds!", "src/helpers/loader.cpp", __LINE__);
    if (RefreshGame(*game, false)) {
      InsertGameRow(gListView, i, *game);
      UpdateWindow(gListView);
      UpdateGameCountText();
      ++i;
    } else {
      RemoveGameAt(i);  // its folder is gone: the next game moves to i
    }
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
