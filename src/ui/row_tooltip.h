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

// Off (a shown tip taken away) while a command's dialogs or menu are open,
// on again afterwards.
void SetRowTooltipActive(bool active);

// The tooltip text of a row, from what the row shows and carries; empty for
// no row.
std::wstring RowTooltipText(int row);

}  // namespace zrcc
