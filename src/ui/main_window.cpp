#include "ui/main_window.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <utility>

#include "core/layout.h"
#include "core/list_view_rules.h"
#include "core/owner_thread.h"
#include "core/settings_rules.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "platform/ui_thread.h"
#include "ui/commands.h"
#include "ui/mod_lifecycle.h"
#include "ui/notices.h"
#include "ui/row_commands.h"

namespace zrcc {

namespace {

constexpr COLORREF kBackgroundColour = RGB(154, 154, 161);
constexpr COLORREF kVersionTextColour = RGB(0, 51, 204);
constexpr BYTE kOpaque = 255;
constexpr BYTE kTranslucent = 200;

// A window property that marks a window of this class as this program's:
// the class name is a common one, and a second start must never bring
// another program's window to the front.
constexpr wchar_t kOwnWindowMark[] = L"ZandRivellCC.MainWindow";

HFONT MakeFont(const wchar_t* face, int points, int weight, UINT dpi) {
  return CreateFontW(FontHeight(points, static_cast<int>(dpi)), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FF_SWISS, face);
}

void SetFont(HWND control, const GdiObject& font) {
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
                 const GdiObject* font) {
  HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.x, r.y, r.w, r.h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (font) SetFont(control, *font);
  if (std::wstring_view(cls) == WC_BUTTONW) SetWindowSubclass(control, ButtonHoverProc, 0, 0);
  return control;
}

void EnforceColumnFloor(NMHDR* header) {
  auto* change = reinterpret_cast<NMHEADERW*>(header);
  if (change->pitem && (change->pitem->mask & HDI_WIDTH) && change->pitem->cxy <= kMinColumnWidth - 1) {
    change->pitem->cxy = kMinColumnWidth;
  }
}

}  // namespace

MainWindow::~MainWindow() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

bool MainWindow::Register(HINSTANCE instance) {
  WNDCLASSW cls{};
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.lpszClassName = kMainWindowClass;
  return RegisterClassW(&cls) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool MainWindow::Create(HINSTANCE instance, int x, int y, int width, int height) {
  CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, width, height,
                  nullptr, nullptr, instance, this);
  return window_ != nullptr;
}

MainWindow* MainWindow::FromHandle(HWND window) {
  CheckOwnerThread();
  DWORD process = 0;
  if (!IsOurs(window) || !GetWindowThreadProcessId(window, &process) || process != GetCurrentProcessId()) return nullptr;
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool MainWindow::IsOurs(HWND window) { return window && GetPropW(window, kOwnWindowMark) != nullptr; }

MainWindow* MainWindow::OfMessage(const MSG& message) {
  return message.hwnd ? FromHandle(GetAncestor(message.hwnd, GA_ROOT)) : nullptr;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetPropW(window, kOwnWindowMark, reinterpret_cast<HANDLE>(1));
  }
  MainWindow* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemovePropW(window, kOwnWindowMark);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

SettingsHost MainWindow::Settings() {
  return {window_, listView_, &package_, &settings_, [this] { ShowListAsChosen(); }};
}

void MainWindow::ShowSortArrow() {
  const RowOrder order = settings_.list.order;
  const int columns = static_cast<int>(SendMessageW(header_, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < columns; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header_, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == order.column) item.fmt |= order.descending ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageW(header_, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

void MainWindow::ShowListAsChosen() {
  SendMessageW(control(kIdFilterKind), CB_SETCURSEL, static_cast<WPARAM>(settings_.list.filter), 0);
  pane_->ShowAsChosen(settings_.list);
  ShowSortArrow();
}

void MainWindow::SortByColumn(int column) {
  if (column < 0 || column >= kColumnCount) return;
  settings_.list.order = ClickColumn(settings_.list.order, column);
  ShowListAsChosen();
}

void MainWindow::FilterChanged() {
  const HWND field = control(kIdFilterField);
  std::wstring text(static_cast<size_t>(std::max(GetWindowTextLengthW(field), 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextW(field, text.data(), static_cast<int>(text.size())), 0)));
  const auto kind = static_cast<int>(SendMessageW(control(kIdFilterKind), CB_GETCURSEL, 0, 0));
  settings_.list.text = std::move(text);
  settings_.list.filter = kind >= 0 && kind < kGameFilterCount ? static_cast<GameFilter>(kind) : GameFilter::All;
  ShowListAsChosen();
}

// The filter field with its cue text, and the drop-down of what it shows.
void MainWindow::CreateFilterControls() {
  const Rect none{};
  const HWND field = MakeControl(window_, WC_EDITW, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | WS_CLIPSIBLINGS,
                                 kIdFilterField, none, &buttonFont_);
  SendMessageW(field, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Filter games"));
  const HWND kind = MakeControl(window_, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | WS_CLIPSIBLINGS,
                                kIdFilterKind, none, &buttonFont_);
  for (int i = 0; i < kGameFilterCount; ++i) {
    SendMessageW(kind, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GameFilterText(static_cast<GameFilter>(i))));
  }
  SendMessageW(kind, CB_SETCURSEL, 0, 0);
}

void MainWindow::ShowPackageTexts() { package_.Show(); }

void MainWindow::MakeScalableFonts() {
  listFont_.reset(MakeFont(L"Segoe UI", 11, FW_NORMAL, dpi_));
  buttonFont_.reset(MakeFont(L"Segoe UI", 10, FW_NORMAL, dpi_));
  labelFont_.reset(MakeFont(L"Courier New", 9, FW_BOLD, dpi_));
  pathFont_.reset(MakeFont(L"Courier New", 9, FW_NORMAL, dpi_));
}

int MainWindow::LabelCharHeight() const {
  WindowDc dc(pathField_);
  if (!dc) return 0;
  dc.Select(labelFont_.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  return metrics.tmHeight;
}

// Centres one line of text vertically in the path field; `dpi` 96 gives the
// fixed margin used at creation.
void MainWindow::SetPathFieldTextRect(int dpi) {
  RECT client{};
  GetClientRect(pathField_, &client);
  const Edges e = PathFieldTextRect(client.left, client.top, client.right, client.bottom, LabelCharHeight(), dpi);
  RECT text{e.left, e.top, e.right, e.bottom};
  SendMessageW(pathField_, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
}

void MainWindow::LayoutTopBand() {
  const TopBandLayout band = LayoutTopBandRects(static_cast<int>(dpi_));
  Place(pathField_, band.pathField);
  Place(control(kIdSetFolderButton), band.setFolder);
  Place(control(kIdVersionField), band.versionField);
  Place(control(kIdBuildField), band.buildField);
  Place(control(kIdCopyButton), band.copy);
  Place(control(kIdInstallButton), band.install);
  Place(control(kIdUninstallButton), band.uninstall);
  SetPathFieldTextRect(static_cast<int>(dpi_));
}

void MainWindow::LayoutClientArea(int width, int height) {
  SendMessageW(statusBar_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  RECT status{};
  GetClientRect(statusBar_, &status);
  LayoutTopBand();
  const ClientLayout layout =
      LayoutClient(static_cast<int>(dpi_), width, height, static_cast<int>(status.bottom - status.top));
  Place(listView_, layout.listView);
  Place(control(kIdAddButton), layout.addDir);
  Place(control(kIdOpenButton), layout.openDir);
  Place(control(kIdDeleteButton), layout.delDir);
  Place(separator_, layout.separator);
  Place(control(kIdRefreshButton), layout.refresh);
  Place(control(kIdFilterField), layout.filterField);
  Place(control(kIdFilterKind), layout.filterKind);
  tooltips_.Place(window_);
  rowTooltip_.Place();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainWindow::RelayoutForCurrentSize() {
  RECT client{};
  GetClientRect(window_, &client);
  SendMessageW(window_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
}

// The window cannot be made so small that a button is cut, unless the
// screen itself is smaller.
void MainWindow::KeepButtonsWhole(MINMAXINFO& limits) const {
  UINT dpi = GetDpiForWindow(window_);
  if (dpi == 0) dpi = 96;
  RECT status{};
  if (statusBar_ && GetParent(statusBar_) == window_) GetWindowRect(statusBar_, &status);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)), dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT work{0, 0, 0, 0};
  if (GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) work = monitor.rcWork;
  const Size minimum = MinimumTrackSize(static_cast<int>(dpi), status.bottom - status.top, frame.right - frame.left,
                                        frame.bottom - frame.top, work.right - work.left, work.bottom - work.top);
  limits.ptMinTrackSize.x = std::max<LONG>(limits.ptMinTrackSize.x, minimum.w);
  limits.ptMinTrackSize.y = std::max<LONG>(limits.ptMinTrackSize.y, minimum.h);
}

void MainWindow::CreateControls() {
  const TopBandLayout band = LayoutTopBandRects(96);
  pathField_ = MakeControl(window_, WC_EDITW, kNoPathSet,
                           WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, kIdPathField,
                           band.pathField, &pathFont_);
  SetPathFieldTextRect(96);
  MakeControl(window_, WC_BUTTONW, L"Set ZandRivell Path", WS_TABSTOP, kIdSetFolderButton, band.setFolder,
              &buttonFont_);
  MakeControl(window_, WC_STATICW, kPackageNotFound, WS_BORDER | SS_OWNERDRAW | SS_CENTERIMAGE, kIdVersionField,
              band.versionField, &labelFont_);
  MakeControl(window_, WC_STATICW, kPackageNotFound, WS_BORDER | SS_OWNERDRAW | SS_CENTERIMAGE, kIdBuildField,
              band.buildField, &labelFont_);
  MakeControl(window_, WC_BUTTONW, L"Copy Zandrivell", WS_DISABLED | WS_TABSTOP, kIdCopyButton, band.copy,
              &buttonFont_);
  MakeControl(window_, WC_BUTTONW, L"Install Zandrivell", WS_DISABLED | WS_TABSTOP, kIdInstallButton, band.install,
              &buttonFont_);
  MakeControl(window_, WC_BUTTONW, L"Uninstall Zandrivell", WS_DISABLED | WS_TABSTOP, kIdUninstallButton,
              band.uninstall, &buttonFont_);
  package_.SetControls(pathField_, control(kIdVersionField), control(kIdBuildField));

  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  // Owner data: the list keeps no texts; it asks for the cells it draws.
  listView_ = MakeControl(window_, WC_LISTVIEWW, L"",
                          WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA, 0, Rect{},
                          &listFont_);
  // Info tips: a row can say what its texts cannot (a game whose drive is absent).
  SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  header_ = reinterpret_cast<HWND>(SendMessageW(listView_, LVM_GETHEADER, 0, 0));
  SetWindowTheme(header_, L"", L"");
  // The real widths come with the settings.
  for (int i = 0; i < kColumnCount; ++i) AddListColumn(listView_, i, kColumns[static_cast<size_t>(i)].title, 100);

  const Rect none{};
  // A split button: its face adds a folder as ever, its arrow opens the
  // menu that also finds every game on this PC.
  MakeControl(window_, WC_BUTTONW, L"Add Dir", WS_TABSTOP | WS_CLIPSIBLINGS | BS_SPLITBUTTON, kIdAddButton, none,
              &buttonFont_);
  MakeControl(window_, WC_BUTTONW, L"Open Dir", WS_DISABLED | WS_TABSTOP | WS_CLIPSIBLINGS, kIdOpenButton, none,
              &buttonFont_);
  MakeControl(window_, WC_BUTTONW, L"Del Dir", WS_DISABLED | WS_TABSTOP | WS_CLIPSIBLINGS, kIdDeleteButton, none,
              &buttonFont_);
  separator_ = MakeControl(window_, WC_STATICW, nullptr, SS_ETCHEDVERT, 0, Rect{0, 0, 2, 25}, nullptr);
  MakeControl(window_, WC_BUTTONW, L"Refresh List", WS_TABSTOP | WS_CLIPSIBLINGS, kIdRefreshButton, none,
              &buttonFont_);
  CreateFilterControls();
  statusBar_ = MakeControl(window_, STATUSCLASSNAMEW, nullptr, SBARS_SIZEGRIP, 0, none, nullptr);
  pane_ = std::make_unique<GameListPane>(listView_, statusBar_, package_);
  pane_->SetStatusText(L"Ready");
  ShowPackageTexts();
  tooltips_.Create(window_);
  rowTooltip_.Create(listView_);
  NameControlsForScreenReaders(*this);
}

void MainWindow::OnCreate() {
  BindUiThread();
  SetJobWindow(window_);
  SetDefaultDialogOwner(window_);
  dpi_ = GetDpiForWindow(window_);
  if (dpi_ == 0) dpi_ = 96;
  SetWindowLongW(window_, GWL_EXSTYLE, GetWindowLongW(window_, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(window_, 0, kOpaque, LWA_ALPHA);
  MakeScalableFonts();
  backgroundBrush_.reset(CreateSolidBrush(kBackgroundColour));
  whiteBrush_.reset(CreateSolidBrush(RGB(255, 255, 255)));
  CreateControls();
  DragAcceptFiles(window_, TRUE);
}

// Controls whose redrawing is switched off while the window is dragged.
std::array<HWND, 5> MainWindow::RedrawSuspendedControls() const {
  return {listView_, control(kIdAddButton), control(kIdOpenButton), control(kIdDeleteButton), statusBar_};
}

void MainWindow::OnDpiChanged(WPARAM wParam, const RECT* suggested) {
  dpi_ = HIWORD(wParam);
  MakeScalableFonts();
  SetFont(listView_, listFont_);
  SetFont(header_, listFont_);
  for (int id : kAllButtons) SetFont(control(id), buttonFont_);
  SetFont(control(kIdFilterField), buttonFont_);
  SetFont(control(kIdFilterKind), buttonFont_);
  SetFont(pathField_, pathFont_);
  SetFont(control(kIdVersionField), labelFont_);
  SetFont(control(kIdBuildField), labelFont_);
  for (int i = 0; i < kColumnCount; ++i) {
    SendMessageW(listView_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                 MAKELPARAM(ScaleToDpi(settings_.logicalColumnWidths[static_cast<size_t>(i)], static_cast<int>(dpi_)), 0));
  }
  SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(listView_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  RelayoutForCurrentSize();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, whiteBrush_.brush());
  SetTextColor(item.hDC, kVersionTextColour);
  SetBkMode(item.hDC, TRANSPARENT);
  const std::wstring& text = item.CtlID == kIdVersionField ? package_.version() : package_.build();
  RECT r = item.rcItem;
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  return TRUE;
}

// Windows ends the process soon after the end of the session is announced,
// without destroying the window: both files are saved here as a close saves
// them. A running job is asked to stop, which puts whatever it would still
// hand over in place at once (a load keeps every game of its file); nothing
// is waited for, as no job ever waits for this thread.
void MainWindow::SaveBeforeSessionEnds() {
  RequestStop();
  SaveData();
  SaveSettings(Settings());
}

void MainWindow::OnDestroy() {
  // A close waits for running work (RequestClose), but a window destroyed
  // otherwise may still have a job running: it is stopped first, so the save
  // below never writes a half-loaded list.
  StopJobAndWait();
  SaveData();
  SaveSettings(Settings());
  SetJobWindow(nullptr);
  SetDefaultDialogOwner(nullptr);
  PostQuitMessage(0);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      break;
    case WM_CLOSE:
      if (!RequestClose(*this)) return 0;  // held back until the running work has ended
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
      if (wParam == SIZE_MINIMIZED || IsIconic(window_) || inSizeMove_ || !statusBar_) break;
      LayoutClientArea(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_SETFOCUS:
      if (listView_ && IsWindow(listView_)) SetFocus(listView_);
      break;
    case WM_GETMINMAXINFO:
      KeepButtonsWhole(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush_.brush());
      return 1;
    }
    case WM_SETCURSOR:
      if (isLoading() || gate_.scriptRunning) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_STATIC) return OnDrawItem(*item);
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == header_ && header->code == HDN_ITEMCHANGINGW) {
        EnforceColumnFloor(header);
      } else if (LRESULT answer = 0; header->hwndFrom == listView_ && AnswerGameRowRequest(header, answer)) {
        return answer;
      } else if (HandleTooltipNotification(*this, header)) {
        return 0;
      } else if (header->idFrom == kIdAddButton && header->code == BCN_DROPDOWN) {
        OpenAddMenu(*this);
        return 0;
      } else if (LRESULT drawn = 0; DrawListCell(*this, header, drawn)) {
        return drawn;
      } else if (header->hwndFrom == listView_) {
        HandleListNotification(*this, header);
      }
      break;
    }
    case WM_COMMAND:
      // The filter narrows the view only: it is no command and passes no gate.
      if (LOWORD(wParam) == kIdFilterField || LOWORD(wParam) == kIdFilterKind) {
        if (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == CBN_SELCHANGE) FilterChanged();
        return 0;
      }
      HandleCommand(*this, LOWORD(wParam));
      break;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != listView_) break;
      OpenRowMenu(*this, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_DROPFILES:
      HandleDroppedFiles(*this, reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_ENTERSIZEMOVE:
      inSizeMove_ = true;
      for (HWND control : RedrawSuspendedControls()) SendMessageW(control, WM_SETREDRAW, FALSE, 0);
      SetLayeredWindowAttributes(window_, 0, kTranslucent, LWA_ALPHA);
      break;
    case WM_EXITSIZEMOVE:
      inSizeMove_ = false;
      for (HWND control : RedrawSuspendedControls()) SendMessageW(control, WM_SETREDRAW, TRUE, 0);
      SetLayeredWindowAttributes(window_, 0, kOpaque, LWA_ALPHA);
      RelayoutForCurrentSize();
      RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      break;
    case WM_DPICHANGED:
      OnDpiChanged(wParam, reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kLoadStartedMessage:
      UpdateWindow(listView_);
      break;
    case kLoadFinishedMessage:
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      SetCapture(window_);
      ReleaseCapture();
      InvalidateRect(listView_, nullptr, FALSE);  // the outdated marks, held back during the job
      OnLoadFinished(*this);  // may close the window, when a close was held back
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace zrcc
