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
#include "core/text.h"
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

void RefreshRowInBackground(MainWindow& window, int32_t index, Game game, RowRefresh how, JobPart first) {
  StartBackgroundJob([&window, index, how, refreshed = std::move(game), first = std::move(first)](JobContext& job) mutable {
    if (first) first(job);
    const std::wstring steamName = how == RowRefresh::DetectAgain ? ReadSteamNameOf(refreshed.path) : std::wstring();
    RefreshRowFromJob(job, window, index, std::move(refreshed), how, steamName);
  });
}

namespace {

enum class ModInTheOldFolder { TakeOut, KeepThere, KeepOldFolder };

// The copy's record lies in the executable folder now, with work left for
// Undo Copy.
bool CopyLiesIn(const Game& game) {
  return game.deployment.health != RecordHealth::None && game.deployment.health != RecordHealth::Ignored &&
         LowerKey(game.copyFolder) == LowerKey(game.exeFolder);
}

ModInTheOldFolder AskAboutTheMod(MainWindow& window, const Game& now, const Game& next, RowRefresh how) {
  const std::wstring old = FolderForDisplay(ExeFolderPath(now));
  const int answer =
      ShowMessageBox(window.handle(),
                         L"ZandRivell was copied into " + old + L", and the executable folder becomes " +
                             FolderForDisplay(ExeFolderPath(next)) + L".\n\nTake ZandRivell out of " + old +
                             L" first?\n\nYes: the copy is undone there. No: it stays there, and \"Undo Copy\" "
                             L"can still take it out. Cancel: the executable folder stays as it is.",
                         how == RowRefresh::ExeFolderChosen ? L"Choose Executable Folder" : L"Detect Executable Again",
                         MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3);
  if (answer == IDYES) return ModInTheOldFolder::TakeOut;
  if (answer == IDNO) return ModInTheOldFolder::KeepThere;
  return ModInTheOldFolder::KeepOldFolder;
}

}  // namespace

void RefreshRowFromJob(const JobContext& job, MainWindow& window, int32_t index, Game game, RowRefresh how,
                       const std::wstring& steamName, bool askAboutTheMod) {
  RefreshedRow refreshed = RefreshRowCopy(index, std::move(game), how, steamName, job.StopFlag());
  if (job.StopRequested()) return;
  job.Post([&window, askAboutTheMod, refreshed = std::move(refreshed)]() mutable {
    if (refreshed.noExecutable) {
      WarnNoExecutable(refreshed.game.path);
      if (CurrentJobStopped()) return;
    }
    const Game* now = GetGame(refreshed.index);
    const bool moved = refreshed.how != RowRefresh::AfterDeployment && refreshed.exists && now &&
                       now->path == refreshed.game.path &&
                       LowerKey(now->exeFolder) != LowerKey(refreshed.game.exeFolder);
    if (moved && askAboutTheMod && CopyLiesIn(*now)) {
      switch (AskAboutTheMod(window, *now, refreshed.game, refreshed.how)) {
        case ModInTheOldFolder::KeepOldFolder:
          return;
        case ModInTheOldFolder::KeepThere:
          break;
        case ModInTheOldFolder::TakeOut: {
          // Undone where it lies, then the new folder read once more.
          const std::wstring old = ExeFolderPath(*now);
          ContinueWithJob([&window, old, refreshed](JobContext& next) {
            PostUndoOutcome(next, old, UndoDeployment(old));
            RefreshRowFromJob(next, window, refreshed.index, refreshed.game, refreshed.how, {}, false);
          });
          return;
        }
      }
    }
    const bool newFolder = refreshed.how != RowRefresh::AfterDeployment;
    if (ApplyRefreshedRow(window.listView(), std::move(refreshed)) && newFolder) {
      // The user's word, or a new detection, is kept at once: a crash later
      // must not forget it while the mod may already go into the new folder.
      SaveData();
    }
  });
}

void ChooseExecutableFolder(MainWindow& window) {
  const int32_t index = SelectedGameIndex(window.listView());
  const Game* game = GetGame(index);
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
  RefreshRowInBackground(window, index, std::move(chosen), RowRefresh::ExeFolderChosen);
}

void DetectExecutableAgain(MainWindow& window) {
  const int32_t index = SelectedGameIndex(window.listView());
  if (const Game* game = GetGame(index)) RefreshRowInBackground(window, index, *game, RowRefresh::DetectAgain);
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
