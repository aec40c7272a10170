// What the main window does when a button is pressed or the game list
// reports a selection change or a double-click.
#pragma once

#include <windows.h>

#include <cstdint>

namespace zrcc {

// The row the list last reported as selected; -1 at start.
extern int32_t SelectedRow;

void HandleCommand(int id);
void HandleListNotification(NMHDR* notification);
// Enables Copy, Install and Uninstall from the texts of the row's Status and
// mod version columns.
void UpdateButtonStates(int32_t row);
// After a load the rows are new and nothing is selected.
void OnLoadFinished();

}  // namespace zrcc
