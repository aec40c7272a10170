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
#include "platform/app_state.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/commands.h"
#include "ui/mod_lifecycle.h"

namespace zrcc {

void RefreshRowInBackground(int32_t row, Game game, RowRefresh how, std::function<void()> first) {
  StartBackgroundJob([row, how, refreshed = std::move(game), first = std::move(first)]() mutable {
    if (first) first();
    const std::wstring steamName = how == RowRefresh::DetectAgain ? ReadSteamNameOf(refreshed.path) : std::wstring();
    RefreshRowFromJob(row, std::move(refreshed), how, steamName);
  });
}

void ChooseExecutableFolder() {
  const int32_t row = SelectedListRow(gListView);
  const Game* game = GetGame(row);
  if (!game) return;
  const std::wstring current = PlainPath(game->exeFolder.empty() ? game->path : ExeFolderPath(*game));
  const auto picked = PickFolder({gMainWindow, L"Select the folder that holds the game's executable",
                                  BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON, current});
  if (!picked) return;
  if (picked->empty()) {
    ShowMessageBox(gMainWindow, L"Failed to get folder path.", L"Error", MB_ICONERROR);
    return;
  }
  const std::optional<std::wstring> below = FolderBelow(game->path, *picked);
  if (!below) {
    ShowMessageBox(gMainWindow,
                   L"The executable's folder must lie in the game's folder.\n\nChosen: " + *picked +
                       L"\nGame folder: " + game->path,
                   L"Invalid Folder", MB_ICONWARNING);
    return;
  }
  Game chosen = *game;
  chosen.exeFolder = *below;
  chosen.exeChoice = ExeChoice::User;
  RefreshRowInBackground(row, std::move(chosen), RowRefresh::ExeFolderChosen);
}

void DetectExecutableAgain() {
  const int32_t row = SelectedListRow(gListView);
  if (const Game* game = GetGame(row)) RefreshRowInBackground(row, *game, RowRefresh::DetectAgain);
}

namespace {


void SelectRow(int32_t row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(gListView, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::vector<MenuEntry> RowMenuFor(const RowMenuFacts& facts) {
  std::vector<MenuEntry> entries;
  for (const RowMenuEntry& entry : RowMenuEntries()) {
    entries.push_back(entry.text ? MenuEntry{entry.text, entry.command, entry.enabled(facts)} : MenuEntry{});
  }
  return entries;
}

}  // namespace

void OpenRowMenu(POINT screen) {
  if (Busy()) return;
  int32_t row = -1;
  if (screen.x == -1 && screen.y == -1) {
    row = SelectedListRow(gListView);
    if (row < 0) return;
    SendMessageW(gListView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageW(gListView, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
    screen = {label.left + (label.bottom - label.top), label.bottom};
    ClientToScreen(gListView, &screen);
  } else {
    POINT client = screen;
    ScreenToClient(gListView, &client);
    row = ListRowAt(gListView, client);
    if (row < 0) return;
    if (row != SelectedListRow(gListView)) SelectRow(row);
  }
  int chosen = 0;
  RunAsCommand([&] { chosen = ChooseFromMenu(gMainWindow, screen, RowMenuFor({SelectedRowFacts(), SelectedLifecycleFacts()})); });
  // The choice takes the way of every command, through the one gate.
  if (chosen && IsWindow(gMainWindow)) PostMessageW(gMainWindow, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

}  // namespace zrcc
