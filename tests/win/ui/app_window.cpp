#include "win/ui/app_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "core/control_ids.h"
#include "core/list_view_rules.h"
#include "helpers/game_rows.h"
#include "platform/app_folder.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/settings.h"
#include "ui/window_input.h"

namespace zrcc::test {

AppWindow::AppWindow(const std::wstring& folder) {
  SetAppFolderForTesting(folder);
  ClearGames();
  SetFolderPickerHandler([this](const FolderPickerRequest& request) -> std::optional<std::wstring> {
    pickerTitles.push_back(request.title);
    if (pickerAnswers.empty()) return std::nullopt;
    auto answer = pickerAnswers.front();
    pickerAnswers.erase(pickerAnswers.begin());
    return answer;
  });
  SetExploreHandler([this](const std::wstring& path) { explored.push_back(path); });

  MainWindow::Register(GetModuleHandleW(nullptr));
  main_ = std::make_unique<MainWindow>();
  main_->Create(GetModuleHandleW(nullptr), 0, 0, 1600, 900);
  window_ = main_->handle();
  list_ = main_->listView();
  statusBar_ = main_->statusBar();
  LoadSettings(main_->Settings());
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
  LaunchAsyncLoadData(main_->pane());
  WaitUntilLoaded();
}

AppWindow::~AppWindow() {
  Close();
  SetFolderPickerHandler(nullptr);
  SetExploreHandler(nullptr);
  SetAppFolderForTesting(L"");
  ClearGames();
}

void AppWindow::WaitUntilLoaded() {
  const ULONGLONG until = GetTickCount64() + 60000;
  while ((isLoading() || BackgroundJobRunning()) && GetTickCount64() < until) PumpMessages(10);
  PumpMessages(20);
}

void AppWindow::Press(int id) {
  PressNow(id);
  WaitUntilLoaded();
  ExpectRowsMatchCatalogue();
}

void AppWindow::UsePackage(const std::wstring& folder) {
  CopyFileOrFail(Fixture(L"zandrivell.dll"), folder + L"\\ZandRivell.dll");
  pickerAnswers = {folder};
  Press(kIdSetFolderButton);
  ASSERT_TRUE(package().set());
}

void AppWindow::PressNow(int id) {
  SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control(id)));
}

void AppWindow::ExpectRowsMatchCatalogue() const {
  if (!IsWindow(window_)) return;
  // Every game the view lets through has exactly one row, and each row shows
  // the game the one mapping names for it.
  const ListChoice& choice = main_->settings().list;
  const PackageFacts package = main_->package().Facts();
  int32_t shown = 0;
  for (const Game& game : AllGames()) shown += GameShown(game, choice, package) ? 1 : 0;
  ASSERT_EQ(RowCount(), shown);
  std::vector<bool> seen(static_cast<size_t>(GameCount()), false);
  for (int32_t row = 0; row < RowCount(); ++row) {
    const int32_t index = GameIndexOfRow(list_, row);
    ASSERT_TRUE(index >= 0 && index < GameCount()) << row;
    EXPECT_FALSE(seen[static_cast<size_t>(index)]) << row;
    seen[static_cast<size_t>(index)] = true;
    EXPECT_EQ(Cell(row, 0), GetGame(index)->path) << row;
  }
}

void AppWindow::Select(int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  PumpMessages(10);
}

void AppWindow::DoubleClick() {
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = list_;
  click.hdr.code = NM_DBLCLK;
  click.iItem = -1;
  SendMessageW(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
}

void AppWindow::Close() {
  if (!window_) return;
  if (IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
  PumpMessages(20);  // takes the quit message off the queue
  main_.reset();
}

RECT AppWindow::ClientRectOf(HWND child) const {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int AppWindow::RowCount() const { return ListRowCount(list_); }
std::wstring AppWindow::Cell(int row, int column) const { return ListCellText(list_, row, column); }
std::wstring AppWindow::StatusText() const { return StatusBarText(statusBar_); }

std::wstring AppWindow::PathFieldText() const {
  std::wstring buffer(4096, L'\0');
  GetWindowTextW(main_->pathField(), buffer.data(), static_cast<int>(buffer.size()));
  return buffer.c_str();
}

void DispatchKey(UINT message, WPARAM key, bool shift) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  const BYTE before = state[VK_SHIFT];
  state[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(state);
  MSG m{};
  m.hwnd = GetFocus();
  m.message = message;
  m.wParam = key;
  DispatchWindowMessage(m);
  state[VK_SHIFT] = before;
  SetKeyboardState(state);
}

}  // namespace zrcc::test
