// The tooltip of the game list's rows (see core/row_tip.h): it follows the
// row under the mouse and says what the row's cells cannot.
#pragma once

#include <windows.h>

#include <string>

namespace zrcc {

// Made once with the list; placed again whenever the list is laid out.
void CreateRowTooltip(HWND listView);
void PlaceRowTooltip();

// Hands a mouse message of the game list to the tooltip, first giving it
// the text of the row under the mouse.
void RelayToRowTooltip(const MSG& message);

// Takes a shown tip away (a menu opens over it).
void HideRowTooltip();

// The tooltip text of a row: empty for no row, and while a job runs (the
// catalogue is then the job's).
std::wstring RowTooltipText(int row);

}  // namespace zrcc
