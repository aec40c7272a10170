// The tooltip of the game list's rows (see core/row_tip.h): it follows the
// row under the mouse and says what the row's cells cannot.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace zrcc {

class MainWindow;

class RowTooltip {
 public:
  RowTooltip() = default;
  RowTooltip(const RowTooltip&) = delete;
  RowTooltip& operator=(const RowTooltip&) = delete;
  // Made once with the list; placed again whenever the list is laid out.
  void Create(HWND listView);
  void Place() const;
  // Hands a mouse message of the game list to the tooltip, first giving it
  // the text of the row under the mouse.
  void Relay(MainWindow& window, const MSG& message);
  // Off (a shown tip taken away) while a command's dialogs or menu are open,
  // on again afterwards.
  void SetActive(bool active) const;

 private:
  TTTOOLINFOW Tool();

  HWND listView_ = nullptr;
  HWND tooltip_ = nullptr;
  int row_ = -1;
  std::wstring text_;
};

// Hands a mouse message of the game list to the window's row tooltip.
void RelayToRowTooltip(MainWindow& window, const MSG& message);

// The tooltip text of a row, from what the row shows and carries; empty for
// no row.
std::wstring RowTooltipText(MainWindow& window, int row);

}  // namespace zrcc
