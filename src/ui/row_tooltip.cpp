#include "ui/row_tooltip.h"

#include <commctrl.h>
#include <windowsx.h>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/game_files.h"
#include "core/row_tip.h"
#include "core/update_rules.h"
#include "helpers/game_rows.h"
#include "platform/list_view.h"
#include "ui/main_window.h"

namespace zrcc {

namespace {
// One tool covering the list's client area, owned by the list itself: the
// tooltip checks that the window under the mouse is the tool's.
constexpr UINT_PTR kRowTool = 1;
}  // namespace

std::wstring RowTooltipText(MainWindow& window, int row) {
  const HWND list = window.listView();
  if (row < 0 || row >= ListRowCount(list)) return {};
  RowTipFacts facts;
  facts.path = ListCellText(list, row, kColumnPath);
  facts.driveAbsent = RowShowsDriveAbsent(list, row);
  facts.noExecutableChosen = RowShowsNoExecutable(list, row);
  if (const Game* game = GetGame(GameIndexOfRow(list, row))) {
    facts.outdated = OutdatedTipLine(*game, window.package().Facts());
    facts.deployment = DeploymentTipLine(*game);
    facts.antiCheat = AntiCheatTipLine(game->gameFiles);
    facts.upscalers = UpscalerTipLines(game->gameFiles);
    facts.runs32Bit = game->exeMachine == PeMachine::X86;
  }
  return RowTip(facts);
}

TTTOOLINFOW RowTooltip::Tool() {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = listView_;
  tool.uId = kRowTool;
  return tool;
}

void RowTooltip::Create(HWND listView) {
  listView_ = listView;
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(listView), nullptr,
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(listView, GWLP_HINSTANCE)), nullptr);
  if (!tooltip_) return;
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 480);
  row_ = -1;
  text_.clear();
  TTTOOLINFOW tool = Tool();
  tool.lpszText = text_.data();
  GetClientRect(listView, &tool.rect);
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void RowTooltip::Place() const {
  if (!tooltip_ || !IsWindow(tooltip_)) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = listView_;
  tool.uId = kRowTool;
  GetClientRect(listView_, &tool.rect);
  SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void RowTooltip::SetActive(bool active) const {
  if (!tooltip_ || !IsWindow(tooltip_)) return;
  if (!active) SendMessageW(tooltip_, TTM_POP, 0, 0);
  SendMessageW(tooltip_, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void RowTooltip::Relay(MainWindow& window, const MSG& message) {
  if (!tooltip_ || !IsWindow(tooltip_) || message.hwnd != listView_) return;
  if (message.message < WM_MOUSEFIRST || message.message > WM_MOUSELAST) return;
  if (message.message == WM_MOUSEMOVE) {
    const int row = ListRowAt(listView_, {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)});
    std::wstring text = RowTooltipText(window, row);
    if (row != row_ || text != text_) {
      // Another row, or the same row telling something else: the tip goes
      // and comes back with the new text after the usual pause.
      if (row != row_) SendMessageW(tooltip_, TTM_POP, 0, 0);
      row_ = row;
      text_ = std::move(text);
      TTTOOLINFOW tool = Tool();
      tool.lpszText = text_.data();
      SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  MSG relayed = message;
  SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void RelayToRowTooltip(MainWindow& window, const MSG& message) { window.rowTooltip().Relay(window, message); }

}  // namespace zrcc
