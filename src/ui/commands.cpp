#include "ui/commands.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cwchar>
#include <functional>
#include <string>

#include "core/catalogue.h"
#include "core/mod_rules.h"
#include "core/paths.h"
#include "core/text.h"
#include "deploy/scripts.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/busy_look.h"
#include "ui/deploy_checks.h"
#include "ui/main_window.h"
#include "ui/mod_lifecycle.h"
#include "ui/notices.h"
#include "ui/row_commands.h"
#include "ui/settings.h"
#include "ui/window_input.h"

namespace zrcc {

namespace {

void Enable(MainWindow& window, int id, bool enabled) { EnableWindow(window.control(id), enabled ? TRUE : FALSE); }

// The row selected in the list right now, or -1; the buttons follow its
// texts.
int32_t CurrentSelection(MainWindow& window) { return SelectedListRow(window.listView()); }

// The catalogue index of the game the selected row shows, or -1. Commands
// act on this, not on a remembered index that a deletion, a reload or a sort
// may have moved.
int32_t SelectedGame(MainWindow& window) { return SelectedGameIndex(window.listView()); }

// The selection-dependent buttons for what is selected now.
void SyncButtonsWithSelection(MainWindow& window) {
  const int32_t row = CurrentSelection(window);
  Enable(window, kIdOpenButton, row >= 0);
  Enable(window, kIdDeleteButton, row >= 0);
  if (row >= 0) {
    UpdateButtonStates(window, row);
  } else {
    Enable(window, kIdCopyButton, false);
    Enable(window, kIdInstallButton, false);
    Enable(window, kIdUninstallButton, false);
  }
}

// A close held back while work ran goes ahead once nothing runs; a job
// started meanwhile (by the command that was running) is asked to stop.
void CloseIfRequested(MainWindow& window) {
  CommandGate& gate = window.gate();
  if (!gate.closeRequested) return;
  if (isLoading()) {
    RequestStop();
    return;
  }
  if (gate.commandRunning) return;
  gate.closeRequested = false;
  DestroyWindow(window.handle());
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

void AddFolder(MainWindow& window) {
  const auto picked = PickFolder({window.handle(), L"Select a folder",
                                  BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON, L"C:\\"});
  if (!picked) return;
  if (picked->empty()) {
    ShowMessageBox(window.handle(), L"Failed to get folder path.", L"Error", MB_ICONERROR);
    return;
  }
  LaunchAsyncAddGameFolder(window.pane(), *picked);
}

void OpenSelectedFolder(MainWindow& window) {
  const Game* game = GetGame(SelectedGame(window));
  if (game && GameFolderStillThere(window, *game)) ExploreFolder(ExeFolderPath(*game));
}

void DeleteSelectedGame(MainWindow& window) {
  const int32_t index = SelectedGame(window);
  if (index < 0) return;
  DeleteGame(window.listView(), index);
  SyncButtonsWithSelection(window);
  SaveData();  // at once: a crash or a kill later does not bring the game back
}

void RefreshList(MainWindow& window) {
  // A list that could not be saved is not reloaded: that would bring back the
  // old file and drop this session's changes (the failed save was reported).
  if (!SaveData()) return;
  ClearGameRows(window.listView());
  LaunchAsyncLoadData(window.pane());
  SyncButtonsWithSelection(window);
}

void SetModFolder(MainWindow& window) {
  const auto picked = PickFolder(
      {window.handle(), L"Select ZandRivell Folder", BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE, L""});
  if (picked && !picked->empty()) {
    PrintLine(L"ZandRivell folder path set to: " + *picked + L"\n");
    if (!window.package().Choose(*picked)) {
      ShowMessageBox(nullptr, L"No ZandRivell.dll was found in this folder:\n" + *picked, L"Invalid Folder",
                     MB_ICONWARNING);
    }
  }
  window.ShowPackageTexts();
  ShowOutdatedMarks(window);
}

// While a script runs the window keeps painting and answering: the wait
// carries out every message meanwhile, and the command gate refuses every
// command and holds back a close until the script has ended. The status bar
// names the script and the game it runs for.
void WaitForScript(MainWindow& window, const std::wstring& scriptName, const std::wstring& gameName, HANDLE process) {
  window.pane().SetStatusText(L"Running " + scriptName + L" for " + gameName + L"...");
  window.gate().scriptRunning = true;
  LookBusy(window);
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
  window.gate().scriptRunning = false;
  LookIdle(window);
  if (quit) PostQuitMessage(quitCode);  // for the loop that waits for it
  window.pane().UpdateGameCountText();
}

void Deploy(MainWindow& window, int id) {
  const int32_t index = SelectedGame(window);
  if (index < 0) return;
  const Game* game = GetGame(index);
  if (!game) return;
  if (id == kIdCopyButton && !window.package().set()) return;
  // Copy would make the vanished folder again, holding only the mod.
  if (!GameFolderStillThere(window, *game)) return;
  const DeployStep step = id == kIdCopyButton      ? DeployStep::Copy
                          : id == kIdInstallButton ? DeployStep::Install
                                                   : DeployStep::Uninstall;
  if (!GameAllowsDeployment(window, *game, step)) return;
  if (id == kIdCopyButton) {
    if (!PackageStillAsShown(window)) {
      SyncButtonsWithSelection(window);
      return;
    }
    // The game's files in the package's way are kept and the copy is
    // recorded before anything is copied, so that it can always be undone;
    // all of it but the shell's copy runs off the window's thread.
    CopyPackageIntoGame(window, index, *game);
    return;
  } else {
    // Copy puts the scripts into the executable folder; a package put into
    // the game folder by hand is found there too.
    const ScriptFolders folders{ExeFolderPath(*game), game->path};  // our own copy: the wait is long
    const std::wstring gameName = game->name.empty() ? game->path : game->name;
    const ScriptWait wait = [&window, &gameName](const std::wstring& scriptName, HANDLE process) {
      WaitForScript(window, scriptName, gameName, process);
    };
    if (id == kIdInstallButton) {
      RunSetupScript(folders, wait);
    } else {
      if (!OfferPackageRemovalScript(window, folders)) return;
      RunRemovalScript(folders, wait);
    }
  }
  // After a deployment the game is read from the disk again, on a job thread
  // (a game's whole tree is walked for its size), and its row and buttons
  // follow.
  if (const Game* deployed = GetGame(index)) {
    RefreshRowInBackground(window, index, *deployed, RowRefresh::AfterDeployment);
  }
}

// The menu of "Add Dir"'s arrow, below the button.
int ChooseAddMenuItem(MainWindow& window) {
  RECT button{};
  GetWindowRect(window.control(kIdAddButton), &button);
  return ChooseFromMenu(window.handle(), POINT{button.left, button.bottom},
                        {{L"Add Folder...", kIdAddFolderItem},
                         {L"Find Games on This PC", kIdFindGamesItem},
                         {L"Update All Outdated", kIdUpdateAllItem}});
}

void RunCommand(MainWindow& window, int id) {
  switch (id) {
    case kIdAddButton: case kIdAddFolderItem: AddFolder(window); break;
    case kIdFindGamesItem: LaunchAsyncFindGames(window.pane()); break;
    case kIdOpenButton: OpenSelectedFolder(window); break;
    case kIdDeleteButton: DeleteSelectedGame(window); break;
    case kIdRefreshButton: RefreshList(window); break;
    case kIdSetFolderButton: SetModFolder(window); break;
    case kIdCopyButton: case kIdInstallButton: case kIdUninstallButton: Deploy(window, id); break;
    case kIdUpdateCommand: UpdateSelectedGame(window); break;
    case kIdUpdateAllItem: UpdateAllOutdated(window); break;
    case kIdUndoCopyCommand: UndoSelectedCopy(window); break;
    case kIdChooseExeFolder: ChooseExecutableFolder(window); break;
    case kIdDetectExeAgain: DetectExecutableAgain(window); break;
    default: break;
  }
}

// The end of a command: the next one may come, unless the command goes on
// in the background; a close held back meanwhile goes ahead.
void EndCommand(MainWindow& window) {
  window.gate().commandRunning = false;
  if (isLoading()) {
    LookBusy(window);  // the command goes on in the background
  } else {
    SetTooltipsActive(window, true);
  }
  CloseIfRequested(window);
}

}  // namespace

bool Busy(MainWindow& window) { return window.gate().commandRunning || isLoading(); }

bool RequestClose(MainWindow& window) {
  if (!Busy(window)) return true;
  window.gate().closeRequested = true;
  CloseIfRequested(window);
  return false;
}

bool RunAsCommand(MainWindow& window, const std::function<void()>& work) {
  if (Busy(window)) return false;
  window.gate().commandRunning = true;
  SetTooltipsActive(window, false);  // no tip over the dialogs the command opens
  work();
  EndCommand(window);
  return true;
}

void HandleCommand(MainWindow& window, int id) {
  RunAsCommand(window, [&window, id] { RunCommand(window, id); });
}

void OpenAddMenu(MainWindow& window) {
  // The menu is part of the command: nothing else runs while it is open,
  // and a close asked for meanwhile wins over the item chosen.
  RunAsCommand(window, [&window] {
    const int chosen = ChooseAddMenuItem(window);
    if (!window.gate().closeRequested &&
        (chosen == kIdAddFolderItem || chosen == kIdFindGamesItem || chosen == kIdUpdateAllItem)) {
      RunCommand(window, chosen);
    }
  });
}

void HandleListNotification(MainWindow& window, NMHDR* notification) {
  if (notification->code == NM_DBLCLK) {
    HandleCommand(window, kIdOpenButton);
    return;
  }
  if (notification->code == LVN_COLUMNCLICK) {
    // Sorting changes the view only, never the catalogue: it is no command,
    // and rows arriving during a load are placed in the new order.
    window.SortByColumn(reinterpret_cast<const NMLISTVIEW*>(notification)->iSubItem);
    return;
  }
  if (notification->code != LVN_ITEMCHANGED) return;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(notification);
  const auto selected = static_cast<int32_t>(SendMessageW(window.listView(), LVM_GETSELECTEDCOUNT, 0, 0));
  Enable(window, kIdOpenButton, selected > 0);
  Enable(window, kIdDeleteButton, selected > 0);
  if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED)) UpdateButtonStates(window, change->iItem);
  if (selected <= 0) {
    Enable(window, kIdCopyButton, false);
    Enable(window, kIdInstallButton, false);
    Enable(window, kIdUninstallButton, false);
  }
}

namespace {

// The texts are read back from the list with the small buffers the rules
// were made for; longer texts arrive cut.
DeploymentFacts RowFacts(MainWindow& window, int32_t row) {
  const HWND list = window.listView();
  return {row >= 0, ListCellText(list, row, kColumnStatus, 16), ListCellText(list, row, kColumnModVersion, 24),
          window.package().set(), RowShowsDriveAbsent(list, row)};
}

}  // namespace

void UpdateButtonStates(MainWindow& window, int32_t row) {
  const DeploymentButtons buttons = DecideDeploymentButtons(RowFacts(window, row));
  Enable(window, kIdCopyButton, buttons.copy);
  Enable(window, kIdInstallButton, buttons.install);
  Enable(window, kIdUninstallButton, buttons.uninstall);
}

DeploymentFacts SelectedRowFacts(MainWindow& window) { return RowFacts(window, CurrentSelection(window)); }

void HandleDroppedFolders(MainWindow& window, const std::vector<std::wstring>& folders) {
  if (Busy(window) || folders.empty()) return;
  if (LaunchAsyncAddGameFolders(window.pane(), folders)) LookBusy(window);
}

void OnLoadFinished(MainWindow& window) {
  LookIdle(window);
  SyncButtonsWithSelection(window);
  SetTooltipsActive(window, !Busy(window));
  CloseIfRequested(window);
}

}  // namespace zrcc
