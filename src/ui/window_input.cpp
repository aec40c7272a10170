#include "ui/window_input.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/button_rules.h"
#include "core/control_ids.h"
#include "core/input_rules.h"
#include "platform/disk.h"
#include "platform/win_handles.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/row_commands.h"
#include "ui/row_tooltip.h"

namespace zrcc {

namespace {

// Controls that have a tooltip, each a rectangle of the main window's client
// area (so that a disabled button, whose mouse messages go to the window,
// still shows what it needs).
constexpr std::array<int, 10> kTipControls = {kIdSetFolderButton, kIdVersionField,  kIdBuildField,
                                              kIdCopyButton,      kIdInstallButton, kIdUninstallButton,
                                              kIdAddButton,       kIdOpenButton,    kIdDeleteButton,
                                              kIdRefreshButton};
// The buttons among them have a second tool, the button window itself: the
// tooltip shows a tip only for a tool of the window under the cursor, which
// is the button while it is enabled and the main window while it is not.
bool IsButton(const MainWindow& main, HWND window) {
  if (!window || GetParent(window) != main.handle()) return false;
  const int id = GetDlgCtrlID(window);
  return std::find(kAllButtons.begin(), kAllButtons.end(), id) != kAllButtons.end();
}

// The controls in reading order, as Tab visits them.
std::vector<HWND> TabOrder(const MainWindow& main) {
  auto item = [&main](int id) { return main.control(id); };
  return {main.pathField(),         item(kIdSetFolderButton), item(kIdCopyButton),   item(kIdInstallButton),
          item(kIdUninstallButton), main.listView(),          item(kIdAddButton),    item(kIdOpenButton),
          item(kIdDeleteButton),    item(kIdRefreshButton),   item(kIdFilterField),  item(kIdFilterKind)};
}

void MoveFocus(const MainWindow& main, bool backwards) {
  const std::vector<HWND> order = TabOrder(main);
  std::vector<bool> usable;
  std::optional<size_t> current;
  const HWND focus = GetFocus();
  for (size_t i = 0; i < order.size(); ++i) {
    usable.push_back(order[i] && IsWindowEnabled(order[i]) && IsWindowVisible(order[i]));
    if (order[i] && (order[i] == focus || IsChild(order[i], focus))) current = i;
  }
  if (const auto next = NextTabStop(usable, current, backwards)) SetFocus(order[*next]);
}

// The button with the focus, or 0.
int FocusedButton(const MainWindow& main, HWND focus) { return IsButton(main, focus) ? GetDlgCtrlID(focus) : 0; }

// The ways to "Add Dir"'s menu besides its arrow: Alt+Down while the
// button has the focus, and a right-click on it.
bool HandleAddMenuGesture(MainWindow& main, const MSG& message) {
  const HWND addButton = main.control(kIdAddButton);
  if (!addButton || message.hwnd != addButton) return false;
  const bool altDown = message.message == WM_SYSKEYDOWN && message.wParam == VK_DOWN;
  if (!altDown && message.message != WM_RBUTTONUP) return false;
  OpenAddMenu(main);
  return true;
}

// Shift+F10 (a system key, since F10 alone opens a menu bar) or the
// context-menu key, down or up.
bool IsRowMenuKey(const MSG& message) {
  const UINT m = message.message;
  if (message.wParam == VK_APPS) return m == WM_KEYDOWN || m == WM_KEYUP;
  return message.wParam == VK_F10 && (m == WM_SYSKEYDOWN || m == WM_KEYDOWN) && GetKeyState(VK_SHIFT) < 0 &&
         GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
}

// Ctrl+F anywhere in the window moves to the filter field, its text
// selected; Esc there clears it (and so shows every game the drop-down lets
// through).
bool HandleFilterKey(MainWindow& main, const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  const HWND field = main.filterField();
  if (message.wParam == 'F' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    return true;
  }
  if (message.wParam == VK_ESCAPE && GetFocus() == field && GetWindowTextLengthW(field) > 0) {
    SetWindowTextW(field, L"");  // its change notice shows the rows again
    return true;
  }
  return false;
}

bool HandleKey(MainWindow& main, const MSG& message) {
  if (HandleFilterKey(main, message)) return true;
  if (IsRowMenuKey(message) && GetFocus() == main.listView()) {
    // The key's release is used up too, so that the system does not open
    // the menu a second time.
    if (message.message != WM_KEYUP) OpenRowMenu(main, {-1, -1});
    return true;
  }
  if (message.message != WM_KEYDOWN) return false;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  if (message.wParam == VK_TAB) {
    MoveFocus(main, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  WindowKey key = WindowKey::Other;
  if (message.wParam == VK_F5) key = WindowKey::F5;
  if (message.wParam == VK_DELETE) key = WindowKey::Delete;
  if (message.wParam == VK_RETURN) key = WindowKey::Enter;
  const HWND focus = GetFocus();
  const int button = FocusedButton(main, focus);
  const FocusOn where = focus == main.listView() ? FocusOn::GameList : button ? FocusOn::Button : FocusOn::Elsewhere;
  const int command = KeyCommand(key, where, button);
  if (command == 0) return false;
  // A key does nothing where its button would do nothing.
  const HWND control = main.control(command);
  if (control && IsWindowEnabled(control)) HandleCommand(main, command);
  return true;
}

void RelayToTooltips(MainWindow& main, const MSG& message) {
  const HWND tooltips = main.tooltips().handle();
  if (!tooltips || message.message < WM_MOUSEFIRST || message.message > WM_MOUSELAST) return;
  if (IsButton(main, message.hwnd)) {
    SendMessageW(tooltips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
    return;
  }
  // The other tools are rectangles of the main window: a message to another
  // child is handed on as the main window would have seen it.
  MSG relayed = message;
  POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
  MapWindowPoints(message.hwnd, main.handle(), &at, 1);
  relayed.hwnd = main.handle();
  relayed.lParam = MAKELPARAM(at.x, at.y);
  SendMessageW(tooltips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

std::wstring TipText(MainWindow& main, int id) {
  switch (id) {
    case kIdSetFolderButton: return L"Choose the folder that holds the ZandRivell package (ZandRivell.dll and its scripts)";
    case kIdVersionField: return L"Version of the ZandRivell package in the chosen folder";
    case kIdBuildField: return L"Build of the ZandRivell package in the chosen folder";
    case kIdCopyButton: return DeploymentTip(DeploymentButton::Copy, SelectedRowFacts(main));
    case kIdInstallButton: return DeploymentTip(DeploymentButton::Install, SelectedRowFacts(main));
    case kIdUninstallButton: return DeploymentTip(DeploymentButton::Uninstall, SelectedRowFacts(main));
    case kIdAddButton:
      return L"Add a game folder or a whole Steam library (folders can also be dropped on the window); "
             L"the arrow finds every game of Steam, Epic and GOG on this PC";
    case kIdOpenButton: return L"Open the selected game's executable folder (Enter)";
    case kIdDeleteButton: return L"Remove the selected game from the list; nothing is deleted from the disk (Del)";
    case kIdRefreshButton: return L"Read the list again and check every game on the disk (F5)";
    default: return {};
  }
}

}  // namespace

bool PreTranslateWindowMessage(MSG& message) {
  // Only what is for the main window or one of its controls: a box it owns
  // keeps its own keys.
  MainWindow* main = MainWindow::OfMessage(message);
  if (!main) return false;
  RelayToTooltips(*main, message);
  RelayToRowTooltip(*main, message);
  return HandleAddMenuGesture(*main, message) || HandleKey(*main, message);
}

void DispatchWindowMessage(MSG& message) {
  if (PreTranslateWindowMessage(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Tooltips::Create(HWND window) {
  tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
  if (!tooltips_) return;
  SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, 420);
  for (int id : kTipControls) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = static_cast<UINT_PTR>(id);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  for (int id : kAllButtons) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window, id));
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  Place(window);
}

void Tooltips::Place(HWND window) const {
  if (!tooltips_) return;
  for (int id : kTipControls) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = static_cast<UINT_PTR>(id);
    GetWindowRect(GetDlgItem(window, id), &tool.rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&tool.rect), 2);
    SendMessageW(tooltips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

namespace {

// A row with something to say has the row tooltip say it (row_tooltip.h);
// the list's own tip then stays away. Other rows keep what the list shows
// by itself (a cut text whole).
void AnswerRowTip(MainWindow& main, NMLVGETINFOTIPW& tip) {
  if (tip.pszText && tip.cchTextMax > 0 && !RowTooltipText(main, tip.iItem).empty()) tip.pszText[0] = L'\0';
}

}  // namespace

bool HandleTooltipNotification(MainWindow& main, NMHDR* notification) {
  if (notification->hwndFrom == main.listView() && main.listView() && notification->code == LVN_GETINFOTIPW) {
    AnswerRowTip(main, *reinterpret_cast<NMLVGETINFOTIPW*>(notification));
    return true;
  }
  const HWND tooltips = main.tooltips().handle();
  if (!tooltips || notification->hwndFrom != tooltips || notification->code != TTN_GETDISPINFOW) return false;
  auto* request = reinterpret_cast<NMTTDISPINFOW*>(notification);
  std::wstring& text = main.tooltips().text();
  text = TipText(main, (request->uFlags & TTF_IDISHWND) ? GetDlgCtrlID(reinterpret_cast<HWND>(notification->idFrom))
                                                        : static_cast<int>(notification->idFrom));
  request->lpszText = text.data();
  return true;
}

void SetTooltipsActive(MainWindow& main, bool active) {
  if (const HWND tooltips = main.tooltips().handle()) SendMessageW(tooltips, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
  main.rowTooltip().SetActive(active);
}

void HandleDroppedFiles(MainWindow& main, HDROP drop) {
  std::vector<std::wstring> folders;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    if (IsExistingDirectory(path)) folders.push_back(path);
  }
  DragFinish(drop);
  HandleDroppedFolders(main, folders);
}

void NameControlsForScreenReaders(MainWindow& main) {
  // The list shows no text of its own; its window text is its name for
  // tools that read it.
  SetWindowTextW(main.listView(), L"Games");
  // An edit control's text is its value, so its name is annotated. Where the
  // annotation service is missing the controls simply keep their default
  // names.
  ComPtr<IAccPropServices> services;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                              services.put_void())) ||
      !services) {
    return;
  }
  services->SetHwndPropStr(main.pathField(), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                           L"ZandRivell package folder");
  services->SetHwndPropStr(main.listView(), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, L"Games");
}

}  // namespace zrcc
