#include "ui/main_window.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "core/layout.h"
#include "core/settings_rules.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "platform/app_state.h"
#include "platform/background_job.h"
#include "platform/list_view.h"
#include "ui/commands.h"
#include "ui/mod_lifecycle.h"
#include "ui/row_commands.h"
#include "ui/row_tooltip.h"
#include "ui/settings.h"
#include "ui/window_input.h"

namespace zrcc {

namespace {

constexpr COLORREF kBackgroundColour = RGB(154, 154, 161);
constexpr COLORREF kVersionTextColour = RGB(0, 51, 204);
constexpr BYTE kOpaque = 255;
constexpr BYTE kTranslucent = 200;

// A GDI object deleted when replaced or when the holder goes away.
class UniqueGdiObject {
 public:
  UniqueGdiObject() = default;
  UniqueGdiObject(const UniqueGdiObject&) = delete;
  UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
  ~UniqueGdiObject() { reset(); }
  void reset(HGDIOBJ object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }
  HGDIOBJ get() const { return object_; }
  HFONT font() const { return static_cast<HFONT>(object_); }
  HBRUSH brush() const { return static_cast<HBRUSH>(object_); }

 private:
  HGDIOBJ object_ = nullptr;
};

// Window state, UI thread only.
UINT CurrentDpi = 96;
bool InSizeMove = false;
UniqueGdiObject gListFont, gButtonFont, gPathFont, gLabelFont;
UniqueGdiObject gWhiteBrush;  // kept for the life of the process once made
HWND gHeader = nullptr;
HWND gSeparator = nullptr;

constexpr std::array<int, 8> kButtonIds = {kIdSetFolderButton, kIdCopyButton,   kIdInstallButton,
                                           kIdUninstallButton, kIdAddButton,    kIdOpenButton,
                                           kIdDeleteButton,    kIdRefreshButton};

HFONT MakeFont(const wchar_t* face, int points, int weight) {
  return CreateFontW(FontHeight(points, static_cast<int>(CurrentDpi)), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FF_SWISS, face);
}

void MakeScalableFonts() {
  gListFont.reset(MakeFont(L"Segoe UI", 11, FW_NORMAL));
  gButtonFont.reset(MakeFont(L"Segoe UI", 10, FW_NORMAL));
  gLabelFont.reset(MakeFont(L"Courier New", 9, FW_BOLD));
}

void SetFont(HWND control, const UniqueGdiObject& font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
}

void Place(HWND control, const Rect& r) {
  SetWindowPos(control, nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK ButtonHoverProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_MOUSEMOVE) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = button;
    TrackMouseEvent(&track);
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
  } else if (message == WM_MOUSELEAVE) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

HWND MakeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, const Rect& r,
                 const UniqueGdiObject* font) {
  HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.x, r.y, r.w, r.h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (font) SetFont(control, *font);
  if (std::wstring_view(cls) == WC_BUTTONW) SetWindowSubclass(control, ButtonHoverProc, 0, 0);
  return control;
}

int LabelCharHeight(HWND window) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, gLabelFont.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

// Centres one line of text vertically in the path field; `dpi` 96 gives the
// fixed margin used at creation.
void SetPathFieldTextRect(int dpi) {
  RECT client{};
  GetClientRect(gPathField, &client);
  const Edges e = PathFieldTextRect(client.left, client.top, client.right, client.bottom,
                                    LabelCharHeight(gPathField), dpi);
  RECT text{e.left, e.top, e.right, e.bottom};
  SendMessageW(gPathField, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
}

void LayoutTopBand(HWND window) {
  const TopBandLayout band = LayoutTopBandRects(static_cast<int>(CurrentDpi));
  Place(gPathField, band.pathField);
  Place(GetDlgItem(window, kIdSetFolderButton), band.setFolder);
  Place(GetDlgItem(window, kIdVersionField), band.versionField);
  Place(GetDlgItem(window, kIdBuildField), band.buildField);
  Place(GetDlgItem(window, kIdCopyButton), band.copy);
  Place(GetDlgItem(window, kIdInstallButton), band.install);
  Place(GetDlgItem(window, kIdUninstallButton), band.uninstall);
  SetPathFieldTextRect(static_cast<int>(CurrentDpi));
}

void LayoutClientArea(HWND window, int width, int height) {
  SendMessageW(gStatusBar, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  RECT status{};
  GetClientRect(gStatusBar, &status);
  LayoutTopBand(window);
  const ClientLayout layout =
      LayoutClient(static_cast<int>(CurrentDpi), width, height, static_cast<int>(status.bottom - status.top));
  Place(gListView, layout.listView);
  Place(GetDlgItem(window, kIdAddButton), layout.addDir);
  Place(GetDlgItem(window, kIdOpenButton), layout.openDir);
  Place(GetDlgItem(window, kIdDeleteButton), layout.delDir);
  Place(gSeparator, layout.separator);
  Place(GetDlgItem(window, kIdRefreshButton), layout.refresh);
  PlaceTooltips(window);
  PlaceRowTooltip();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void RelayoutForCurrentSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
}

// The window cannot be made so small that a button is cut, unless the
// screen itself is smaller.
void KeepButtonsWhole(HWND window, MINMAXINFO& limits) {
  UINT dpi = GetDpiForWindow(window);
  if (dpi == 0) dpi = 96;
  RECT status{};
  if (gStatusBar && GetParent(gStatusBar) == window) GetWindowRect(gStatusBar, &status);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT work{0, 0, 0, 0};
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) work = monitor.rcWork;
  const Size minimum = MinimumTrackSize(static_cast<int>(dpi), status.bottom - status.top, frame.right - frame.left,
                                        frame.bottom - frame.top, work.right - work.left, work.bottom - work.top);
  limits.ptMinTrackSize.x = std::max<LONG>(limits.ptMinTrackSize.x, minimum.w);
  limits.ptMinTrackSize.y = std::max<LONG>(limits.ptMinTrackSize.y, minimum.h);
}

void CreateControls(HWND window) {
  const TopBandLayout band = LayoutTopBandRects(96);
  gPathField = MakeControl(window, WC_EDITW, kNoPathSet,
                           WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, kIdPathField,
                           band.pathField, &gPathFont);
  SetPathFieldTextRect(96);
  MakeControl(window, WC_BUTTONW, L"Set ZandRivell Path", WS_TABSTOP, kIdSetFolderButton, band.setFolder,
              &gButtonFont);
  MakeControl(window, WC_STATICW, L"not found", WS_BORDER | SS_OWNERDRAW | SS_CENTERIMAGE, kIdVersionField,
              band.versionField, &gLabelFont);
  MakeControl(window, WC_STATICW, L"not found", WS_BORDER | SS_OWNERDRAW | SS_CENTERIMAGE, kIdBuildField,
              band.buildField, &gLabelFont);
  MakeControl(window, WC_BUTTONW, L"Copy Zandrivell", WS_DISABLED | WS_TABSTOP, kIdCopyButton, band.copy,
              &gButtonFont);
  MakeControl(window, WC_BUTTONW, L"Install Zandrivell", WS_DISABLED | WS_TABSTOP, kIdInstallButton, band.install,
              &gButtonFont);
  MakeControl(window, WC_BUTTONW, L"Uninstall Zandrivell", WS_DISABLED | WS_TABSTOP, kIdUninstallButton,
              band.uninstall, &gButtonFont);

  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  // Owner data: the list keeps no texts; it asks for the cells it draws.
  gListView = MakeControl(window, WC_LISTVIEWW, L"",
                          WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA, 0, Rect{},
                          &gListFont);
  // Info tips: a row can say what its texts cannot (a game whose drive is absent).
  SendMessageW(gListView, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  gHeader = reinterpret_cast<HWND>(SendMessageW(gListView, LVM_GETHEADER, 0, 0));
  SetWindowTheme(gHeader, L"", L"");
  // The real widths come with the settings.
  for (int i = 0; i < kColumnCount; ++i) AddListColumn(gListView, i, kColumns[static_cast<size_t>(i)].title, 100);

  const Rect none{};
  // A split button: its face adds a folder as ever, its arrow opens the
  // menu that also finds every game on this PC.
  MakeControl(window, WC_BUTTONW, L"Add Dir", WS_TABSTOP | WS_CLIPSIBLINGS | BS_SPLITBUTTON, kIdAddButton, none,
              &gButtonFont);
  MakeControl(window, WC_BUTTONW, L"Open Dir", WS_DISABLED | WS_TABSTOP | WS_CLIPSIBLINGS, kIdOpenButton, none,
              &gButtonFont);
  MakeControl(window, WC_BUTTONW, L"Del Dir", WS_DISABLED | WS_TABSTOP | WS_CLIPSIBLINGS, kIdDeleteButton, none,
              &gButtonFont);
  gSeparator = MakeControl(window, WC_STATICW, nullptr, SS_ETCHEDVERT, 0, Rect{0, 0, 2, 25}, nullptr);
  MakeControl(window, WC_BUTTONW, L"Refresh List", WS_TABSTOP | WS_CLIPSIBLINGS, kIdRefreshButton, none,
              &gButtonFont);
  gStatusBar = MakeControl(window, STATUSCLASSNAMEW, nullptr, SBARS_SIZEGRIP, 0, none, nullptr);
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Ready"));
  ShowPackageTexts();
  CreateTooltips(window);
  CreateRowTooltip(gListView);
  NameControlsForScreenReaders();
}

void OnCreate(HWND window) {
  gMainWindow = window;
  BindUiThread();
  CurrentDpi = GetDpiForWindow(window);
  if (CurrentDpi == 0) CurrentDpi = 96;
  SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(window, 0, kOpaque, LWA_ALPHA);
  MakeScalableFonts();
  gPathFont.reset(MakeFont(L"Courier New", 9, FW_NORMAL));
  CreateControls(window);
  DragAcceptFiles(window, TRUE);
}

// Controls whose redrawing is switched off while the window is dragged.
std::array<HWND, 5> RedrawSuspendedControls(HWND window) {
  return {gListView, GetDlgItem(window, kIdAddButton), GetDlgItem(window, kIdOpenButton),
          GetDlgItem(window, kIdDeleteButton), gStatusBar};
}

void OnDpiChanged(HWND window, WPARAM wParam, const RECT* suggested) {
  CurrentDpi = HIWORD(wParam);
  gListFont.reset();
  gButtonFont.reset();
  gLabelFont.reset();
  MakeScalableFonts();
  SetFont(gListView, gListFont);
  SetFont(gHeader, gListFont);
  for (int id : kButtonIds) SetFont(GetDlgItem(window, id), gButtonFont);
  SetFont(gPathField, gLabelFont);
  SetFont(GetDlgItem(window, kIdVersionField), gLabelFont);
  SetFont(GetDlgItem(window, kIdBuildField), gLabelFont);
  for (int i = 0; i < kColumnCount; ++i) {
    SendMessageW(gListView, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                 MAKELPARAM(ScaleToDpi(LogicalColumnWidths[static_cast<size_t>(i)], static_cast<int>(CurrentDpi)), 0));
  }
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(gListView, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  RelayoutForCurrentSize(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT OnDrawItem(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (item->CtlType != ODT_STATIC) return DefWindowProcW(window, message, wParam, lParam);
  if (!gWhiteBrush.get()) gWhiteBrush.reset(CreateSolidBrush(RGB(255, 255, 255)));
  FillRect(item->hDC, &item->rcItem, gWhiteBrush.brush());
  SetTextColor(item->hDC, kVersionTextColour);
  SetBkMode(item->hDC, TRANSPARENT);
  const std::wstring& text = item->CtlID == kIdVersionField ? PackageVersionText : PackageBuildText;
  RECT r = item->rcItem;
  DrawTextW(item->hDC, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  return TRUE;
}

void EnforceColumnFloor(NMHDR* header) {
  auto* change = reinterpret_cast<NMHEADERW*>(header);
  if (change->pitem && (change->pitem->mask & HDI_WIDTH) && change->pitem->cxy <= kMinColumnWidth - 1) {
    change->pitem->cxy = kMinColumnWidth;
  }
}

// Windows ends the process soon after the end of the session is announced,
// without destroying the window: both files are saved here as a close saves
// them. A running job is stopped first, so that the save never sees a
// half-made list; while the UI thread is carrying out a call for the job
// (a box it asked for is open) the job cannot end before that call returns,
// so it is only asked to stop, and the list is saved as it stands: the job
// waits meanwhile and changes nothing. (A load may then hold a game it has
// already moved up twice; the next load reads it once.)
void SaveBeforeSessionEnds() {
  if (ServingJobCall()) {
    RequestStop();
  } else {
    StopJobAndWait();
  }
  SaveData();
  SaveSettings();
}

void OnDestroy() {
  // A close waits for running work (RequestClose), but a window destroyed
  // otherwise may still have a job running: it is stopped first, so the save
  // below never writes a half-loaded list.
  StopJobAndWait();
  SaveData();
  SaveSettings();
  gListFont.reset();
  PostQuitMessage(0);
}

}  // namespace

UINT CurrentWindowDpi() { return CurrentDpi; }

void ShowPackageTexts() {
  if (!gMainWindow) return;
  for (const auto& [id, text] : {std::pair{kIdVersionField, &PackageVersionText}, std::pair{kIdBuildField, &PackageBuildText}}) {
    const HWND field = GetDlgItem(gMainWindow, id);
    SetWindowTextW(field, text->c_str());
    RedrawWindow(field, nullptr, nullptr, RDW_INVALIDATE);
  }
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSW cls{};
  cls.lpfnWndProc = MainWindowProc;
  cls.hInstance = instance;
  cls.lpszClassName = kMainWindowClass;
  return RegisterClassW(&cls) != 0;
}

HWND CreateMainWindow(HINSTANCE instance, int x, int y, int width, int height) {
  return CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, width,
                         height, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      break;
    case WM_CLOSE:
      if (!RequestClose()) return 0;  // held back until the running work has ended
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_QUERYENDSESSION:
      return TRUE;  // nothing to ask: the files are saved when the session ends
    case WM_ENDSESSION:
      if (wParam) SaveBeforeSessionEnds();
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED || IsIconic(window) || InSizeMove || !gStatusBar) break;
      LayoutClientArea(window, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_SETFOCUS:
      if (gListView && IsWindow(gListView)) SetFocus(gListView);
      break;
    case WM_GETMINMAXINFO:
      KeepButtonsWhole(window, *reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(window, &client);
      HBRUSH brush = CreateSolidBrush(kBackgroundColour);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_SETCURSOR:
      if (isLoading || ScriptRunning()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_DRAWITEM:
      return OnDrawItem(window, message, wParam, lParam);
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == gHeader && header->code == HDN_ITEMCHANGINGW) {
        EnforceColumnFloor(header);
      } else if (LRESULT answer = 0; header->hwndFrom == gListView && AnswerGameRowRequest(header, answer)) {
        return answer;
      } else if (HandleTooltipNotification(header)) {
        return 0;
      } else if (header->idFrom == kIdAddButton && header->code == BCN_DROPDOWN) {
        OpenAddMenu();
        return 0;
      } else if (LRESULT drawn = 0; DrawListCell(header, drawn)) {
        return drawn;
      } else if (header->hwndFrom == gListView) {
        HandleListNotification(header);
      }
      break;
    }
    case WM_COMMAND:
      HandleCommand(LOWORD(wParam));
      break;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != gListView) break;
      OpenRowMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_DROPFILES:
      HandleDroppedFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_ENTERSIZEMOVE:
      InSizeMove = true;
      for (HWND control : RedrawSuspendedControls(window)) SendMessageW(control, WM_SETREDRAW, FALSE, 0);
      SetLayeredWindowAttributes(window, 0, kTranslucent, LWA_ALPHA);
      break;
    case WM_EXITSIZEMOVE:
      InSizeMove = false;
      for (HWND control : RedrawSuspendedControls(window)) SendMessageW(control, WM_SETREDRAW, TRUE, 0);
      SetLayeredWindowAttributes(window, 0, kOpaque, LWA_ALPHA);
      RelayoutForCurrentSize(window);
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      break;
    case WM_DPICHANGED:
      OnDpiChanged(window, wParam, reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kLoadStartedMessage:
      UpdateWindow(gListView);
      break;
    case kLoadFinishedMessage:
      isLoading = false;
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      SetCapture(window);
      ReleaseCapture();
      InvalidateRect(gListView, nullptr, FALSE);  // the outdated marks, held back during the job
      OnLoadFinished();  // may close the window, when a close was held back
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zrcc
