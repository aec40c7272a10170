// The game list's row menu and its keys, the executable folder the user
// chooses and detection run again, on the real main window.
#include "ui/row_commands.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/game_list_file.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/main_window.h"
#include "ui/window_input.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

using test::TempDir;

// Records every row menu the window opens and answers it with the next of
// `answers` (0, closed without a choice, when none is left).
struct MenuRecorder {
  MenuRecorder() {
    SetPopupMenuHandler([this](HWND, POINT, const std::vector<MenuEntry>& entries) {
      menus.push_back(entries);
      if (whileOpen) whileOpen();
      if (answers.empty()) return 0;
      const int answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    });
  }
  ~MenuRecorder() { SetPopupMenuHandler(nullptr); }
  std::vector<std::vector<MenuEntry>> menus;
  std::vector<int> answers;
  std::function<void()> whileOpen;
};

POINT RowPoint(HWND list, int row, bool screen) {
  RECT r{};
  r.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
  POINT at{r.left + 10, (r.top + r.bottom) / 2};
  if (screen) ClientToScreen(list, &at);
  return at;
}

// A right-click on a row, and whatever command it leads to run to its end.
void RightClick(test::AppWindow& app, int row) {
  const POINT at = RowPoint(app.list(), row, true);
  SendMessageW(app.window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app.list()), MAKELPARAM(at.x, at.y));
  // The choice was posted as a command: carried out here, and a job it
  // starts waited for.
  MSG command{};
  while (PeekMessageW(&command, app.window(), WM_COMMAND, WM_COMMAND, PM_REMOVE)) DispatchMessageW(&command);
  app.WaitUntilLoaded();
  app.ExpectRowsMatchCatalogue();
}

// The text the row tooltip holds after the mouse moved onto `row`.
std::wstring ShownRowTip(test::AppWindow& app, int row) {
  const POINT at = RowPoint(app.list(), row, false);
  MSG move{};
  move.hwnd = app.list();
  move.message = WM_MOUSEMOVE;
  move.lParam = MAKELPARAM(at.x, at.y);
  DispatchWindowMessage(move);
  static wchar_t text[1024];
  static HWND list = nullptr;
  list = app.list();
  text[0] = L'\0';
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = list;
        tool.uId = 1;
        tool.lpszText = text;
        if (!SendMessageW(window, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return TRUE;
        SendMessageW(window, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
        return FALSE;
      },
      0);
  return text;
}

std::wstring MakeGame(const TempDir& dir, const std::wstring& name, const std::vector<std::wstring>& exes) {
  const std::wstring folder = dir / (L"Games\\" + name);
  for (const std::wstring& exe : exes) test::CopyFileOrFail(test::Fixture(L"plain.exe"), folder + L"\\" + exe);
  test::MakeDirs(folder);
  return folder;
}

// The entries with a button are enabled exactly as their buttons, whatever
// the row; the mouse opens the menu on the row under it, the keys on the
// selected row; no menu while a box is open or a job runs, and nothing gets
// through while a menu is open.
TEST(RowMenu, FollowsTheButtonsAndTheOneCommandGate) {
  TempDir dir;
  const std::wstring a = MakeGame(dir, L"Alpha", {L"Alpha.exe"});
  test::CopyFileOrFail(test::Fixture(L"zandrivell.dll"), a + L"\\ZandRivell.dll");  // "Copied"
  const std::wstring b = MakeGame(dir, L"Beta", {L"Beta.exe"});
  const std::wstring empty = MakeGame(dir, L"Empty", {L"bin\\readme.txt"});
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile({{a, L"", L""}, {b, L"", L""}, {empty, L"bin", L""}}));
  test::AppWindow app(dir.path());
  MenuRecorder menu;
  for (int pass = 0; pass < 2; ++pass) {  // without a package, then with one
    for (int row : {1, 0}) {
      RightClick(app, row);
      EXPECT_EQ(SelectedListRow(app.list()), row);
      for (const MenuEntry& entry : menu.menus.back()) {
        if (const HWND button = app.control(entry.command)) {
          EXPECT_EQ(entry.enabled, IsWindowEnabled(button) != FALSE) << pass << row << test::Utf8(entry.text);
        }
      }
    }
    if (pass == 0) app.UsePackage(dir / L"package");
  }
  menu.answers = {kIdOpenButton};  // a chosen entry arrives as its command
  RightClick(app, 1);
  EXPECT_EQ(app.explored, std::vector<std::wstring>{b + L"\\"});

  SetFocus(app.list());
  test::DispatchKey(WM_SYSKEYDOWN, VK_F10, true);
  test::DispatchKey(WM_KEYDOWN, VK_APPS);
  test::DispatchKey(WM_KEYUP, VK_APPS);      // the release opens nothing more
  test::DispatchKey(WM_SYSKEYDOWN, VK_F10);  // F10 alone is no menu key
  EXPECT_EQ(menu.menus.size(), 7u);
  app.Select(-1);
  test::DispatchKey(WM_KEYDOWN, VK_APPS);  // no row selected: no menu
  EXPECT_EQ(menu.menus.size(), 7u);

  int tried = 0;
  app.boxes.whileOpen = [&](const test::RecordedBox&) {
    ++tried;
    const POINT at = RowPoint(app.list(), 2, true);
    SendMessageW(app.window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app.list()), MAKELPARAM(at.x, at.y));
    test::DispatchKey(WM_SYSKEYDOWN, VK_F10, true);
    test::DispatchKey(WM_KEYDOWN, VK_APPS);
  };
  app.Select(2);
  SetFocus(app.list());
  app.Press(kIdInstallButton);  // "setup_windows.bat not found!", on the UI thread
  menu.answers = {kIdDetectExeAgain};
  RightClick(app, 2);  // detection, in a job, finds no executable and says so
  EXPECT_EQ(tried, 2);
  EXPECT_EQ(app.boxes.boxes().back().caption, L"No executable found");
  menu.whileOpen = [&] { app.PressNow(kIdDeleteButton); };
  RightClick(app, 2);
  EXPECT_EQ(menu.menus.size(), 9u);
  EXPECT_EQ(app.RowCount(), 3);
}

// A game whose executable nothing recognises: the row says so, the user
// points at the folder, Copy puts the package there, the choice survives a
// restart, and detection run again goes back to what it finds.
TEST(ExeFolderChoice, TheUsersFolderTakesThePackageAndLastsUntilDetectedAgain) {
  TempDir dir;
  const std::wstring game = MakeGame(dir, L"Quiet Orchard", {L"Start.exe", L"Data\\engine.exe"});
  const std::wstring data = game + L"\\Data";
  {
    test::AppWindow app(dir.path());
    MenuRecorder menu;
    app.UsePackage(dir / L"package");
    app.pickerAnswers = {game};
    app.Press(kIdAddButton);
    ASSERT_EQ(app.RowCount(), 1);
    EXPECT_EQ(app.Cell(0, 6), L"");
    const std::wstring hint = ShownRowTip(app, 0);
    EXPECT_NE(hint.find(L"game folder itself"), std::wstring::npos) << test::Utf8(hint);
    EXPECT_NE(hint.find(L"Choose Executable Folder..."), std::wstring::npos);

    menu.answers = {kIdChooseExeFolder, kIdChooseExeFolder};
    app.pickerAnswers = {dir / L"Games", data};
    RightClick(app, 0);  // a folder outside the game's is refused, naming both
    EXPECT_EQ(app.pickerTitles.back(), L"Select the folder that holds the game's executable");
    ASSERT_EQ(app.boxes.boxes().size(), 1u);
    EXPECT_EQ(app.boxes.boxes()[0].caption, L"Invalid Folder");
    EXPECT_NE(app.boxes.boxes()[0].text.find(dir / L"Games\n"), std::wstring::npos);
    EXPECT_NE(app.boxes.boxes()[0].text.find(game), std::wstring::npos);
    EXPECT_EQ(app.Cell(0, 6), L"");
    RightClick(app, 0);
    EXPECT_EQ(app.Cell(0, 6), L"Data");
    EXPECT_EQ(ShownRowTip(app, 0), L"");

    app.Select(0);
    app.Press(kIdCopyButton);
    EXPECT_TRUE(test::FileExists(data + L"\\ZandRivell.dll"));
    EXPECT_EQ(app.Cell(0, 2), L"Copied");
  }
  EXPECT_EQ(ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini")),
            (std::vector<GameListEntry>{{game, L"Data", L""}}));
  {
    test::AppWindow app(dir.path());  // started again
    MenuRecorder menu;
    EXPECT_EQ(app.Cell(0, 6), L"Data");
    EXPECT_EQ(app.Cell(0, 2), L"Copied");
    EXPECT_EQ(ShownRowTip(app, 0), L"");
    menu.answers = {kIdDetectExeAgain};
    // The mod lies in the folder that is left: it is asked about, and kept
    // there.
    int asked = 0;
    SetMessageBoxHandler([&asked](HWND, const std::wstring&, const std::wstring&, UINT type) {
      asked += (type & MB_TYPEMASK) == MB_YESNOCANCEL;
      return IDNO;
    });
    RightClick(app, 0);
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(app.Cell(0, 6), L"");
    EXPECT_EQ(app.Cell(0, 2), L"") << "nothing was copied into the game folder itself";
    EXPECT_FALSE(ShownRowTip(app, 0).empty());
  }
  {
    test::AppWindow app(dir.path());  // a listed game left in its game folder is looked at again
    EXPECT_FALSE(ShownRowTip(app, 0).empty());
    EXPECT_TRUE(app.boxes.boxes().empty());
  }
}

// Detection run again replaces a name by the one it finds, except a Steam
// name.
TEST(ExeFolderChoice, DetectingAgainKeepsASteamName) {
  TempDir dir;
  const std::wstring library = dir / L"SteamLibrary";
  const std::wstring alpha = library + L"\\steamapps\\common\\Alpha";
  test::CopyFileOrFail(test::Fixture(L"disc_foo.exe"), alpha + L"\\bin\\Alpha.exe");
  test::WriteFileBytes(library + L"\\steamapps\\appmanifest_1.acf",
                       "\"AppState\"\n{\n\t\"name\"\t\t\"Alpha Game\"\n\t\"installdir\"\t\t\"Alpha\"\n}\n");
  const std::wstring other = dir / L"Games\\Other";
  test::CopyFileOrFail(test::Fixture(L"disc_foo.exe"), other + L"\\Other.exe");
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile({{alpha, L"", L"Alpha Game"}, {other, L"", L"Mine"}}));
  test::AppWindow app(dir.path());
  MenuRecorder menu;
  menu.answers = {kIdDetectExeAgain, kIdDetectExeAgain};
  RightClick(app, 0);
  RightClick(app, 1);
  EXPECT_EQ(app.Cell(0, 6), L"bin");
  EXPECT_EQ(app.Cell(0, 5), L"Alpha Game");
  EXPECT_EQ(app.Cell(1, 5), L"Foo");
}

}  // namespace
}  // namespace zrcc
