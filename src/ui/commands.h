// What the main window does when a button is pressed or the game list
// reports a selection change or a double-click.
//
// One command at a time: while a command runs (with every box, picker,
// shell dialog or script wait it opens) or a background job runs, no other
// command reaches the catalogue, and closing the window is held back until
// the work has ended.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/button_rules.h"

namespace zrcc {

class MainWindow;

// Carries out the command of a control identifier (or of a row menu
// entry), unless a command or a background job is running (then it is
// refused).
void HandleCommand(MainWindow& window, int id);
// Opens the menu of "Add Dir"'s arrow ("Add Folder...", "Find Games on This
// PC", "Update All Outdated") and carries out the item chosen, as one command through the same gate.
void OpenAddMenu(MainWindow& window);
// Runs `work` as a command of its own (the row menu while it is open):
// refused (false) while a command or a job runs; meanwhile every command,
// key and drop is refused and a close waits until it has ended.
bool RunAsCommand(MainWindow& window, const std::function<void()>& work);
void HandleListNotification(MainWindow& window, NMHDR* notification);
// Enables Copy, Install and Uninstall from the texts of the row's Status and
// mod version columns.
void UpdateButtonStates(MainWindow& window, int32_t row);
// A background job has ended: the buttons follow the selection, and a close
// held back meanwhile goes ahead.
void OnLoadFinished(MainWindow& window);

// Folders dropped on the window: added one after another as "Add Dir" adds
// a picked folder, unless a command or a job is running (then refused).
void HandleDroppedFolders(MainWindow& window, const std::vector<std::wstring>& folders);

// What the deployment buttons of the row selected now depend on.
DeploymentFacts SelectedRowFacts(MainWindow& window);

// Whether a command or a background job is running.
bool Busy(MainWindow& window);
// The user asks to close the window: true when it may close now. Otherwise
// the close is remembered (and a running job asked to stop) and carried out
// as soon as the work has ended.
bool RequestClose(MainWindow& window);

}  // namespace zrcc
