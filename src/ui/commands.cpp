#include "ui/commands.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cwchar>
#include <functional>
#include <string>

#include "core/catalogue.h"
#include "core/mod_rules.h"
#include "core/text.h"
#include "deploy/mod_state.h"
#include "deploy/scripts.h"
#include "discovery/find_games.h"
#include "discovery/folder_intake.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "helpers/loader.h"
#include "platform/app_state.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/busy_look.h"
#include "ui/deploy_checks.h"
#include "ui/main_window.h"
#include "ui/mod_lifecycle.h"
#include "ui/row_commands.h"
#include "ui/settings.h"
#include "ui/window_input.h"

namespace zrcc {

namespace {

bool gCommandRunning = false;
bool gScriptRunning = false;
bool gCloseRequested = false;

void Enable(int id, bool enabled) { EnableWindow(GetDlgItem(gMainWindow, id), enabled ? TRUE : FALSE); }

void SetStatusText(const std::wstring& text) {
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The row selected in the list right now, or -1. Commands act on this, not
// on a remembered index that a deletion or a reload may have moved.
int32_t CurrentSelection() { return SelectedListRow(gListView); }

// The selection-dependent buttons for what is selected now.
void SyncButtonsWithSelection() {
  const int32_t row = CurrentSelection();
  Enable(kIdOpenButton, row >= 0);
  Enable(kIdDeleteButton, row >= 0);
  if (row >= 0) {
    UpdateButtonStates(row);
  } else {
    Enable(kIdCopyButton, false);
    Enable(kIdInstallButton, false);
    Enable(kIdUninstallButton, false);
  }
}

// A close held back while work ran goes ahead once nothing runs; a job
// started meanwhile (by the command that was running) is asked to stop.
void CloseIfRequested() {
  if (!gCloseRequested) return;
  if (isLoading) {
    RequestStop();
    return;
  }
  if (gCommandRunning) return;
  gCloseRequested = false;
  DestroyWindow(gMainWindow);
}

// One line on standard output, also when it is a pipe or a file.
void PrintLine(const std::wstring& line) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
  } else {
    const std::string bytes = EncodeUtf8(line);
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

void AddFolder() {
  const auto picked = PickFolder({gMainWindow, L"Select a folder",
                                  BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON, L"C:\\"});
  if (!picked) return;
  if (picked->empty()) {
    ShowMessageBox(gMainWindow, L"Failed to get folder path.", L"Error", MB_ICONERROR);
    return;
  }
  LaunchAsyncAddGameFolder(*picked);
}

void OpenSelectedFolder() {
  const Game* game = GetGame(CurrentSelection());
  if (game && GameFolderStillThere(*game)) ExploreFolder(ExeFolderPath(*game));
}

void DeleteSelectedGame() {
  const int32_t row = CurrentSelection();
  if (row < 0) return;
  DeleteGame(gListView, row);
  SyncButtonsWithSelection();
  SaveData();  // at once: a crash or a kill later does not bring the game back
}

void RefreshList() {
  // A list that could not be saved is not reloaded: that would bring back the
  // old file and drop this session's changes (the failed save was reported).
  if (!SaveData()) return;
  ClearGameRows(gListView);
  LaunchAsyncLoadData();
  SyncButtonsWithSelection();
}

void SetModFolder() {
  const auto picked =
      PickFolder({gMainWindow, L"Select ZandRivell Folder", BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE, L""});
  if (picked && !picked->empty()) {
    PrintLine(L"ZandRivell folder path set to: " + *picked + L"\n");
    if (CheckModFolder(*picked)) {
      ModFolder = *picked;
      SetWindowTextW(gPathField, ModFolder.c_str());
      ModFolderSet = true;
    } else {
      ShowMessageBox(nullptr, L"No ZandRivell.dll was found in this folder:\n" + *picked, L"Invalid Folder",
                     MB_ICONWARNING);
      if (ModFolderSet) {
        // A mistaken pick does not cost the package that works: its folder,
        // versions and saved path stay; only the path field, which the check
        // cleared, is put back.
        SetWindowTextW(gPathField, ModFolder.c_str());
      } else {
        ModFolder = *picked;
        PackageVersionText = L"not found";
        PackageBuildText = L"not found";
      }
    }
  }
  ShowPackageTexts();
  ShowOutdatedMarks();
}

// While a script runs the window keeps painting and answering: the wait
// carries out every message meanwhile, and the command gate refuses every
// command and holds back a close until the script has ended. The status bar
// names the script and the game it runs for.
void WaitForScript(const std::wstring& scriptName, const std::wstring& gameName, HANDLE process) {
  SetStatusText(L"Running " + scriptName + L" for " + gameName + L"...");
  gScriptRunning = true;
  LookBusy();
  bool quit = false;
  int quitCode = 0;
  while (MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        quitCode = static_cast<int>(message.wParam);
        continue;
      }
      DispatchWindowMessage(message);
    }
  }
  gScriptRunning = false;
  LookIdle();
  if (quit) PostQuitMessage(quitCode);  // for the loop that waits for it
  UpdateGameCountText();
}

// After a deployment the game is read from the disk again, on a job thread
// (a game's whole tree is walked for its size), and its row and buttons
// follow. `first` is the deployment's own work that belongs on that thread.
void RefreshAfterDeployment(int32_t row, std::function<void()> first = {}) {
  if (const Game* game = GetGame(row)) {
    RefreshRowInBackground(row, *game, RowRefresh::AfterDeployment, std::move(first));
  }
}

void Deploy(int id) {
  const int32_t row = CurrentSelection();
  if (row < 0) return;
  SelectedRow = row;
  const Game* game = GetGame(row);
  if (!game) return;
  if (id == kIdCopyButton && !ModFolderSet) return;
  // Copy would make the vanished folder again, holding only the mod.
  if (!GameFolderStillThere(*game)) return;
  std::function<void()> finish;  // the deployment's own work after it, on the refresh's thread
  if (id == kIdCopyButton) {
    if (!PackageStillAsShown()) {
      SyncButtonsWithSelection();
      return;
    }
    // The game's files in the package's way are kept and the copy is
    // recorded before anything is copied, so that it can always be undone;
    // all of it but the shell's copy runs off the window's thread.
    finish = [package = ModFolder, folder = ExeFolderPath(*game)] { CopyPackageIntoGame(package, folder); };
  } else {
    // Copy puts the scripts into the executable folder; a package put into
    // the game folder by hand is found there too.
    const ScriptFolders folders{ExeFolderPath(*game), game->path};  // our own copy: the wait is long
    const std::wstring gameName = game->name.empty() ? game->path : game->name;
    const ScriptWait wait = [&gameName](const std::wstring& scriptName, HANDLE process) {
      WaitForScript(scriptName, gameName, process);
    };
    if (id == kIdInstallButton) {
      RunSetupScript(folders, wait);
    } else {
      if (!OfferPackageRemovalScript(folders)) return;
      RunRemovalScript(folders, wait);
    }
  }
  RefreshAfterDeployment(row, std::move(finish));
}

// The menu of "Add Dir"'s arrow, below the button.
int ChooseAddMenuItem() {
  RECT button{};
  GetWindowRect(GetDlgItem(gMainWindow, kIdAddButton), &button);
  return ChooseFromMenu(gMainWindow, POINT{button.left, button.bottom},
                        {{L"Add Folder...", kIdAddFolderItem}, {L"Find Games on This PC", kIdFindGamesItem}});
}

void RunCommand(int id) {
  switch (id) {
    case kIdAddButton: case kIdAddFolderItem: AddFolder(); break;
    case kIdFindGamesItem: LaunchAsyncFindGames(); break;
    case kIdOpenButton: OpenSelectedFolder(); break;
    case kIdDeleteButton: DeleteSelectedGame(); break;
    case kIdRefreshButton: RefreshList(); break;
    case kIdSetFolderButton: SetModFolder(); break;
    case kIdCopyButton: case kIdInstallButton: case kIdUninstallButton: Deploy(id); break;
    case kIdUpdateCommand: UpdateSelectedGame(); break;
    case kIdUndoCopyCommand: UndoSelectedCopy(); break;
    case kIdChooseExeFolder: ChooseExecutableFolder(); break;
    case kIdDetectExeAgain: DetectExecutableAgain(); break;
    default: break;
  }
}

// The end of a command: the next one may come, unless the command goes on
// in the background; a close held back meanwhile goes ahead.
void EndCommand() {
  gCommandRunning = false;
  if (isLoading) {
    LookBusy();  // the command goes on in the background
  } else {
    SetTooltipsActive(true);
  }
  CloseIfRequested();
}

}  // namespace

bool Busy() { return gCommandRunning || isLoading; }

bool ScriptRunning() { return gScriptRunning; }

bool RequestClose() {
  if (!Busy()) return true;
  gCloseRequested = true;
  CloseIfRequested();
  return false;
}

bool RunAsCommand(const std::function<void()>& work) {
  if (Busy()) return false;
  gCommandRunning = true;
  SetTooltipsActive(false);  // no tip over the dialogs the command opens
  work();
  EndCommand();
  return true;
}

void HandleCommand(int id) {
  RunAsCommand([id] { RunCommand(id); });
}

void OpenAddMenu() {
  // The menu is part of the command: nothing else runs while it is open,
  // and a close asked for meanwhile wins over the item chosen.
  RunAsCommand([] {
    const int chosen = ChooseAddMenuItem();
    if (!gCloseRequested && (chosen == kIdAddFolderItem || chosen == kIdFindGamesItem)) RunCommand(chosen);
  });
}

void HandleListNotification(NMHDR* notification) {
  if (notification->code == NM_DBLCLK) {
    HandleCommand(kIdOpenButton);
    return;
  }
  if (notification->code != LVN_ITEMCHANGED) return;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(notification);
  const auto selected = static_cast<int32_t>(SendMessageW(gListView, LVM_GETSELECTEDCOUNT, 0, 0));
  Enable(kIdOpenButton, selected > 0);
  Enable(kIdDeleteButton, selected > 0);
  if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED)) {
    SelectedRow = change->iItem;
    UpdateButtonStates(change->iItem);
  }
  if (selected <= 0) {
    Enable(kIdCopyButton, false);
    Enable(kIdInstallButton, false);
    Enable(kIdUninstallButton, false);
  }
}

namespace {

// The texts are read back from the list with the small buffers the rules
// were made for; longer texts arrive cut.
DeploymentFacts RowFacts(int32_t row) {
  return {row >= 0, ListCellText(gListView, row, kColumnStatus, 16), ListCellText(gListView, row, kColumnModVersion, 24),
          ModFolderSet, RowShowsDriveAbsent(gListView, row)};
}

}  // namespace

void UpdateButtonStates(int32_t row) {
  const DeploymentButtons buttons = DecideDeploymentButtons(RowFacts(row));
  Enable(kIdCopyButton, buttons.copy);
  Enable(kIdInstallButton, buttons.install);
  Enable(kIdUninstallButton, buttons.uninstall);
}

DeploymentFacts SelectedRowFacts() { return RowFacts(CurrentSelection()); }

void HandleDroppedFolders(const std::vector<std::wstring>& folders) {
  if (Busy() || folders.empty()) return;
  if (LaunchAsyncAddGameFolders(folders)) LookBusy();
}

void OnLoadFinished() {
  LookIdle();
  SyncButtonsWithSelection();
  SetTooltipsActive(!Busy());
  CloseIfRequested();
}

}  // namespace zrcc
