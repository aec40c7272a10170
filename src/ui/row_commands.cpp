#include "ui/row_commands.h"

#include <commctrl.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/columns.h"
#include "core/mod_rules.h"
#include "core/paths.h"
#include "core/row_menu.h"
#include "deploy/exe_detection.h"
#include "discovery/steam_manifests.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/mod_lifecycle.h"
#include "ui/notices.h"

namespace zrcc {

void RefreshRowInBackground(MainWindow& window, int32_t row, Game game, RowRefresh how, JobPart first) {
  StartBackgroundJob([&window, row, how, refreshed = std::move(game), first = std::move(first)](JobContext& job) mutable {
    if (first) first(job);
    const std::wstring steamName = how == RowRefresh::DetectAgain ? ReadSteamNameOf(refreshed.path) : std::wstring();
    RefreshRowFromJob(job, window, row, std::move(refreshed), how, steamName);
  });
}

void RefreshRowFromJob(const JobContext& job, MainWindow& window, int32_t row, Game game, RowRefresh how,
                       const std::wstring& steamName) {
  RefreshedRow refreshed = RefreshRowCopy(row, std::move(game), how, steamName, job.StopFlag());
  if (job.StopRequested()) return;
  job.Post([&window, refreshed = std::move(refreshed)]() mutable {
    if (refreshed.noExecutable) {
      WarnNoExecutable(refreshed.game.path);
      if (CurrentJobStopped()) return;
    }
    ApplyRefreshedRow(window.listView(), std::move(refreshed));
  });
}

void ChooseExecutableFolder(MainWindow& window) {
  const int32_t row = SelectedListRow(window.listView());
  const Game* game = GetGame(row);
  if (!game) return;
  const std::wstring current = PlainPath(game->exeFolder.empty() ? game->path : ExeFolderPath(*game));
  const auto picked = PickFolder({window.handle(), L"Select the folder that holds the game's executable",
                                  BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON, current});
  if (!picked) return;
  if (picked->empty()) {
    ShowMessageBox(window.handle(), L"Failed to get folder path.", L"Error", MB_ICONERROR);
    return;
  }
  const std::optional<std::wstring> below = FolderBelow(game->path, *picked);
  if (!below) {
    ShowMessageBox(window.handle(),
                   L"The executable's folder must lie in the game's folder.\n\nChosen: " + *picked +
                       L"\nGame folder: " + game->path,
                   L"Invalid Folder", MB_ICONWARNING);
    return;
  }
  Game chosen = *game;
  chosen.exeFolder = *below;
  chosen.exeChoice = ExeChoice::User;
  RefreshRowInBackground(window, row, std::move(chosen), RowRefresh::ExeFolderChosen);
}

void DetectExecutableAgain(MainWindow& window) {
  const int32_t row = SelectedListRow(window.listView());
  if (const Game* game = GetGame(row)) RefreshRowInBackground(window, row, *game, RowRefresh::DetectAgain);
}

namespace {


void SelectRow(HWND listView, int32_t row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::vector<MenuEntry> RowMenuFor(const RowMenuFacts& facts) {
  std::vector<MenuEntry> entries;
  for (const RowMenuEntry& entry : RowMenuEntries()) {
    entries.push_back(entry.text ? MenuEntry{entry.text, entry.command, entry.enabled(facts)} : MenuEntry{});
  }
  return entries;
}

}  // namespace

void OpenRowMenu(MainWindow& window, POINT screen) {
  if (Busy(window)) return;
  const HWND list = window.listView();
  int32_t row = -1;
  if (screen.x == -1 && screen.y == -1) {
    row = SelectedListRow(list);
    if (row < 0) return;
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
    screen = {label.left + (label.bottom - label.top), label.bottom};
    ClientToScreen(list, &screen);
  } else {
    POINT client = screen;
    ScreenToClient(list, &client);
    row = ListRowAt(list, client);
    if (row < 0) return;
    if (row != SelectedListRow(list)) SelectRow(list, row);
  }
  int chosen = 0;
  RunAsCommand(window, [&] {
    chosen = ChooseFromMenu(window.handle(), screen,
                            RowMenuFor({SelectedRowFacts(window), SelectedLifecycleFacts(window)}));
  });
  // The choice takes the way of every command, through the one gate.
  const HWND handle = window.handle();
  if (chosen && handle && IsWindow(handle)) PostMessageW(handle, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

}  // namespace zrcc
