// The keyboard habits and dropped folders on the real main window.
#include "ui/window_input.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

#include "core/button_rules.h"
#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/main_window.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

using test::TempDir;

void PressKey(WPARAM key, bool shift = false) { test::DispatchKey(WM_KEYDOWN, key, shift); }

// A drop of these paths, as the file manager hands it over.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& path : paths) list += path + L'\0';
  list += L'\0';
  const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

std::wstring MakeGame(const TempDir& dir, const std::wstring& name) {
  const std::wstring folder = dir / (L"Games\\" + name);
  test::CopyFileOrFail(test::Fixture(L"plain.exe"), folder + L"\\" + name + L".exe");
  return folder;
}

TEST(WindowInput, TabVisitsTheControlsInReadingOrder) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::vector<int> order = {kIdPathField, kIdSetFolderButton, kIdCopyButton,  kIdInstallButton,
                                  kIdUninstallButton, 0, kIdAddButton, kIdOpenButton, kIdDeleteButton,
                                  kIdRefreshButton, kIdFilterField, kIdFilterKind};  // 0: the game list
  for (int id : order) {
    if (id) EnableWindow(app.control(id), TRUE);
  }
  auto focused = [&app] { return GetFocus() == app.list() ? 0 : GetDlgCtrlID(GetFocus()); };
  SetFocus(app.window());
  EXPECT_EQ(GetFocus(), app.list()) << "the list has the focus";
  SetFocus(app.control(kIdPathField));
  for (size_t step = 1; step <= order.size(); ++step) {
    PressKey(VK_TAB);
    EXPECT_EQ(focused(), order[step % order.size()]) << step;
  }
  for (size_t step = order.size(); step-- > 0;) {
    PressKey(VK_TAB, true);
    EXPECT_EQ(focused(), order[step]) << step;
  }
  EnableWindow(app.control(kIdCopyButton), FALSE);  // a disabled button is passed over
  SetFocus(app.control(kIdSetFolderButton));
  PressKey(VK_TAB);
  EXPECT_EQ(focused(), kIdInstallButton);
}

TEST(WindowInput, DelEnterAndF5RunTheirCommandsUnlessAJobRuns) {
  TempDir dir;
  const std::wstring a = MakeGame(dir, L"Alpha"), b = MakeGame(dir, L"Beta");
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile({{a, L"", L""}, {b, L"", L""}}));
  test::AppWindow app(dir.path());
  ASSERT_EQ(app.RowCount(), 2);
  SetFocus(app.list());
  app.Select(0);
  PressKey(VK_RETURN);
  EXPECT_EQ(app.explored, std::vector<std::wstring>{a + L"\\"});

  SetLoadingForTesting(true);  // as while a job runs: every key is refused
  PressKey(VK_DELETE);
  PressKey(VK_F5);
  EXPECT_EQ(app.RowCount(), 2);
  EXPECT_FALSE(BackgroundJobRunning());
  SetLoadingForTesting(false);

  PressKey(VK_DELETE);
  EXPECT_EQ(app.RowCount(), 1);
  EXPECT_EQ(app.Cell(0, 0), b);
  PressKey(VK_DELETE);  // nothing selected now: Del Dir would do nothing
  EXPECT_EQ(app.RowCount(), 1);
  SetFocus(app.control(kIdAddButton));
  PressKey(VK_F5);  // anywhere in the window
  EXPECT_TRUE(BackgroundJobRunning() || isLoading());
  app.WaitUntilLoaded();
  EXPECT_EQ(ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini")).size(), 1u) << "saved by the refresh";
  app.ExpectRowsMatchCatalogue();
}

// The list holds no texts, so it asks which row typed letters select: the
// next one whose name (or, without a name, its folder's last part) begins
// with them, in the order shown.
TEST(WindowInput, TypedLettersSelectTheNextRowWhoseNameBeginsWithThem) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::pair<const wchar_t*, const wchar_t*> games[] = {
      {L"E:\\Echo", L"Zeta"}, {L"D:\\Games\\Eagle\\", L""}, {L"D:\\x", L"Epsilon"}, {L"E:\\y", L"alpha"}};
  for (const auto& [path, name] : games) {
    Game game;
    game.path = path;
    game.name = name;
    AddGame(game);
  }
  ShowGameRows(app.list(), GameCount());
  SetFocus(app.list());
  const auto type = [&app](wchar_t letter) {
    MSG typed{};
    typed.hwnd = app.list();
    typed.message = WM_CHAR;
    typed.wParam = letter;
    typed.lParam = 1;  // one key press, as the keyboard gives it
    DispatchWindowMessage(typed);
  };
  const auto selectedName = [&app] {
    const Game* game = GetGame(SelectedGameIndex(app.list()));
    return game ? game->path + L"|" + game->name : std::wstring();
  };
  type(L'e');
  EXPECT_EQ(selectedName(), L"D:\\Games\\Eagle\\|") << "the folder's name, not a path beginning with E";
  test::PumpMessages(1500);  // the list starts a new search after a pause
  type(L'E');
  EXPECT_EQ(selectedName(), L"D:\\x|Epsilon") << "the next one, in any letter case";

  // Sorted by name from the largest down: Zeta, Epsilon, alpha, (none).
  app.main().SortByColumn(kColumnName);
  app.main().SortByColumn(kColumnName);
  EXPECT_EQ(selectedName(), L"D:\\x|Epsilon") << "the selection stays with its game";
  app.Select(0);
  test::PumpMessages(1500);
  type(L'e');
  EXPECT_EQ(SelectedListRow(app.list()), 1);
  EXPECT_EQ(selectedName(), L"D:\\x|Epsilon");
  test::PumpMessages(1500);
  type(L'E');
  EXPECT_EQ(SelectedListRow(app.list()), 3) << "on down the order shown";
}

TEST(WindowInput, DroppedFoldersAreAddedInOrderAndFilesPassedOver) {
  TempDir dir;
  const std::wstring a = MakeGame(dir, L"Alpha"), b = MakeGame(dir, L"Beta");
  test::WriteFileBytes(dir / L"notes.txt", "a file");
  test::AppWindow app(dir.path());

  SetLoadingForTesting(true);  // a drop while a job runs is refused like a button press
  SendMessageW(app.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a})), 0);
  SetLoadingForTesting(false);
  app.WaitUntilLoaded();
  EXPECT_EQ(app.RowCount(), 0);

  SendMessageW(app.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({b, dir / L"notes.txt", a, b})), 0);
  app.WaitUntilLoaded();
  app.ExpectRowsMatchCatalogue();
  ASSERT_EQ(app.RowCount(), 2);
  EXPECT_EQ(app.Cell(0, 0), b);
  EXPECT_EQ(app.Cell(1, 0), a);
  ASSERT_EQ(app.boxes.boxes().size(), 1u);
  EXPECT_EQ(app.boxes.boxes()[0].text, L"This folder is already in the list.");
}

TEST(WindowInput, VersionFieldsCarryThePackageTextsForScreenReaders) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::wstring package = dir / L"package";
  test::CopyFileOrFail(test::Fixture(L"zandrivell.dll"), package + L"\\ZandRivell.dll");
  app.pickerAnswers = {package, dir / L"Games"};
  for (int pick = 0; pick < 2; ++pick) {
    app.Press(kIdSetFolderButton);
    for (const auto& [id, text] : {std::pair{kIdVersionField, &app.package().version()}, std::pair{kIdBuildField, &app.package().build()}}) {
      wchar_t shown[64] = {};
      GetWindowTextW(app.control(id), shown, 64);
      EXPECT_EQ(std::wstring(shown), *text);
      EXPECT_FALSE(text->empty());
    }
  }
}

// The tooltip of a disabled deployment button says what it needs, and
// follows the selection.
// The main window's tooltip control.
HWND FindTooltips(HWND owner) {
  struct Search {
    HWND owner;
    HWND tips;
  } search{owner, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        auto* seen = reinterpret_cast<Search*>(found);
        wchar_t cls[64] = {};
        GetClassNameW(window, cls, 64);
        if (std::wstring(cls) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == seen->owner) {
          seen->tips = window;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.tips;
}

TEST(WindowInput, TooltipsSayWhatADisabledButtonNeeds) {
  TempDir dir;
  const std::wstring a = MakeGame(dir, L"Alpha");
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile({{a, L"", L""}}));
  test::AppWindow app(dir.path());
  const HWND tips = FindTooltips(app.window());
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 18);  // ten places, and the eight buttons themselves
  auto tip = [&](int id) {
    wchar_t text[512] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = app.window();
    tool.uId = static_cast<UINT_PTR>(id);
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    return std::wstring(text);
  };
  EXPECT_EQ(tip(kIdCopyButton), DeploymentTip(DeploymentButton::Copy, {}));
  app.Select(0);
  EXPECT_EQ(tip(kIdCopyButton), DeploymentTip(DeploymentButton::Copy, {true, L"", L"", false}));
  EXPECT_FALSE(tip(kIdRefreshButton).empty());
}

// The pointer rests on a button: the real cursor is there (the tooltip asks
// the system what lies under it) and the button sees it move.
void HoverFor(HWND button, DWORD milliseconds) {
  RECT r{};
  GetWindowRect(button, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  MSG move{};
  move.hwnd = button;
  move.message = WM_MOUSEMOVE;
  move.lParam = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
  DispatchWindowMessage(move);
  test::PumpMessages(milliseconds);
}

// An enabled button shows its tip when the pointer rests on it, but not
// while the dialog its click opened is up.
TEST(WindowInput, EnabledButtonsShowTheirTipButNeverOverTheirDialog) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const HWND tips = FindTooltips(app.window());
  const HWND add = app.control(kIdAddButton);
  HoverFor(add, 1500);
  TTTOOLINFOW shown{};
  shown.cbSize = sizeof shown;
  EXPECT_TRUE(IsWindowVisible(tips));
  EXPECT_TRUE(SendMessageW(tips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&shown)));
  EXPECT_EQ(shown.uId, reinterpret_cast<UINT_PTR>(add));

  bool tipOverThePicker = true;
  SetFolderPickerHandler([&](const FolderPickerRequest&) -> std::optional<std::wstring> {
    HoverFor(add, 1500);
    tipOverThePicker = IsWindowVisible(tips) != FALSE;
    return std::nullopt;
  });
  app.Press(kIdAddButton);
  EXPECT_FALSE(tipOverThePicker);
  HoverFor(add, 1500);
  EXPECT_TRUE(IsWindowVisible(tips)) << "tips come back with the window";
}

}  // namespace
}  // namespace zrcc
