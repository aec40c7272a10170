#include "ui/row_tooltip.h"

#include <commctrl.h>
#include <windowsx.h>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/row_tip.h"
#include "core/update_rules.h"
#include "helpers/game_rows.h"
#include "platform/app_state.h"
#include "platform/list_view.h"

namespace zrcc {

namespace {

// One tool covering the list's client area, owned by the list itself: the
// tooltip checks that the window under the mouse is the tool's.
HWND gRowTooltip = nullptr;
constexpr UINT_PTR kRowTool = 1;
int gTipRow = -1;
std::wstring gTipText;

TTTOOLINFOW RowTool() {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = gListView;
  tool.uId = kRowTool;
  return tool;
}


}  // namespace

std::wstring RowTooltipText(int row) {
  if (row < 0 || row >= ListRowCount(gListView)) return {};
  // The game of a row shown is this thread's even while a job runs.
  RowTipFacts facts;
  facts.path = ListCellText(gListView, row, kColumnPath);
  facts.driveAbsent = RowShowsDriveAbsent(gListView, row);
  facts.noExecutableChosen = RowShowsNoExecutable(gListView, row);
  if (const Game* game = GetGame(row)) {
    facts.outdated = OutdatedTipLine(*game, CurrentPackageFacts());
    facts.deployment = DeploymentTipLine(*game);
  }
  return RowTip(facts);
}

void CreateRowTooltip(HWND listView) {
  gRowTooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(listView), nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(listView, GWLP_HINSTANCE)), nullptr);
  if (!gRowTooltip) return;
  SendMessageW(gRowTooltip, TTM_SETMAXTIPWIDTH, 0, 480);
  gTipRow = -1;
  gTipText.clear();
  TTTOOLINFOW tool = RowTool();
  tool.lpszText = gTipText.data();
  GetClientRect(listView, &tool.rect);
  SendMessageW(gRowTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void PlaceRowTooltip() {
  if (!gRowTooltip || !IsWindow(gRowTooltip)) return;
  TTTOOLINFOW tool = RowTool();
  GetClientRect(gListView, &tool.rect);
  SendMessageW(gRowTooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void SetRowTooltipActive(bool active) {
  if (!gRowTooltip || !IsWindow(gRowTooltip)) return;
  if (!active) SendMessageW(gRowTooltip, TTM_POP, 0, 0);
  SendMessageW(gRowTooltip, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void RelayToRowTooltip(const MSG& message) {
  if (!gRowTooltip || !IsWindow(gRowTooltip) || message.hwnd != gListView) return;
  if (message.message < WM_MOUSEFIRST || message.message > WM_MOUSELAST) return;
  if (message.message == WM_MOUSEMOVE) {
    const int row = ListRowAt(gListView, {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)});
    std::wstring text = RowTooltipText(row);
    if (row != gTipRow || text != gTipText) {
      // Another row, or the same row telling something else: the tip goes
      // and comes back with the new text after the usual pause.
      if (row != gTipRow) SendMessageW(gRowTooltip, TTM_POP, 0, 0);
      gTipRow = row;
      gTipText = std::move(text);
      TTTOOLINFOW tool = RowTool();
      tool.lpszText = gTipText.data();
      SendMessageW(gRowTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  MSG relayed = message;
  SendMessageW(gRowTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

}  // namespace zrcc
