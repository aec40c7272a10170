// The mod's whole life in a game on the real main window: an outdated game
// marked and brought up to date in one command, a copy into the wrong game
// taken back, a game update that put its own files back noticed.
#include "ui/mod_lifecycle.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/control_ids.h"
#include "core/game_list_file.h"
#include "core/row_menu.h"
#include "platform/background_job.h"
#include "ui/commands.h"
#include "ui/row_tooltip.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

const char kSetup[] = "@echo off\r\nren ZandRivell.dll dxgi.dll\r\n";
const char kRemove[] = "@echo off\r\ndel dxgi.dll\r\n";

std::wstring MakePackage(const TempDir& dir, bool withProxy) {
  const std::wstring package = dir / L"ZandRivell 0.8.0";
  test::CopyFileOrFail(test::Fixture(L"mod_080.dll"), package + L"\\ZandRivell.dll");
  WriteFileBytes(package + L"\\setup_windows.bat", kSetup);
  WriteFileBytes(package + L"\\Remove Zandrivell.bat", kRemove);
  WriteFileBytes(package + L"\\Licenses\\LICENSE.txt", "licence");
  if (withProxy) WriteFileBytes(package + L"\\dxgi.dll", "the mod's proxy dxgi");
  return package;
}

// The colour a cell of the shown list is painted in, away from its text.
COLORREF CellColour(HWND list, int row, int column) {
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  HDC dc = GetDC(list);
  const COLORREF colour = GetPixel(dc, cell.right - 4, (cell.top + cell.bottom) / 2);
  ReleaseDC(list, dc);
  return colour;
}

TEST(ModLifecycle, AnOutdatedInstalledGameIsMarkedAndUpdatedInOneCommand) {
  TempDir dir;
  const std::wstring old = dir / L"Old Game", current = dir / L"Current Game";
  test::CopyFileOrFail(test::Fixture(L"plain.exe"), old + L"\\Old.exe");
  test::CopyFileOrFail(test::Fixture(L"mod_062.dll"), old + L"\\dxgi.dll");
  WriteFileBytes(old + L"\\setup_windows.bat", kSetup);  // its removal script went missing
  test::CopyFileOrFail(test::Fixture(L"plain.exe"), current + L"\\Current.exe");
  test::CopyFileOrFail(test::Fixture(L"mod_080.dll"), current + L"\\dxgi.dll");
  WriteFileBytes(dir / L"data.ini", FormatGameListFile({{old, L"", L"Old Game"}, {current, L"", L"Current Game"}}));
  test::AppWindow app(dir.path());
  app.pickerAnswers = {MakePackage(dir, false)};
  app.Press(kIdSetFolderButton);

  ASSERT_EQ(app.Cell(0, kColumnStatus), L"Installed");
  EXPECT_EQ(app.Cell(0, kColumnModVersion), L"0.6.2") << "the text stays what it is";
  EXPECT_EQ(app.StatusText(), L"Games: 2 (1 outdated)");
  const CellColours marked = OutdatedCellColours(false, 0, 0);
  EXPECT_EQ(CellColour(app.list(), 0, kColumnModVersion), marked.background);
  EXPECT_NE(CellColour(app.list(), 1, kColumnModVersion), marked.background);
  EXPECT_NE(CellColour(app.list(), 0, kColumnBuildVersion), marked.background);
  EXPECT_EQ(RowTooltipText(app.main(), 0), L"ZandRivell 0.6.2 is in this game; the package holds 0.8.0.");

  app.Select(1);
  EXPECT_FALSE(UpdateEnabled(SelectedLifecycleFacts(app.main())));
  app.Press(kIdUpdateCommand);  // up to date: nothing happens
  EXPECT_TRUE(app.boxes.boxes().empty());

  app.Select(0);
  ASSERT_TRUE(UpdateEnabled(SelectedLifecycleFacts(app.main())));
  const auto update = std::find_if(RowMenuEntries().begin(), RowMenuEntries().end(),
                                   [](const RowMenuEntry& entry) { return entry.command == kIdUpdateCommand; });
  ASSERT_NE(update, RowMenuEntries().end());
  EXPECT_TRUE(update->enabled({SelectedRowFacts(app.main()), SelectedLifecycleFacts(app.main())})) << "the row menu offers it";
  app.Press(kIdUpdateCommand);
  const auto boxes = app.boxes.boxes();
  ASSERT_EQ(boxes.size(), 1u) << test::Utf8(boxes.back().text);
  EXPECT_EQ(boxes[0].caption, L"Update Zandrivell");
  EXPECT_NE(boxes[0].text.find(L"from 0.6.2 to 0.8.0"), std::wstring::npos) << test::Utf8(boxes[0].text);
  EXPECT_EQ(app.Cell(0, kColumnStatus), L"Installed");
  EXPECT_EQ(app.Cell(0, kColumnModVersion), L"0.8.0");
  EXPECT_EQ(app.Cell(0, kColumnBuildVersion), L"build 800");
  EXPECT_EQ(ReadFileBytes(old + L"\\dxgi.dll"), ReadFileBytes(test::Fixture(L"mod_080.dll")));
  EXPECT_EQ(app.StatusText(), L"Games: 2");
  EXPECT_FALSE(UpdateEnabled(SelectedLifecycleFacts(app.main())));

  // Uninstall where the game lost its removal script: the package's is
  // offered, copied in and run.
  DeleteFileW((old + L"\\Remove Zandrivell.bat").c_str());
  app.Press(kIdUninstallButton);
  ASSERT_EQ(app.boxes.boxes().size(), 2u);
  EXPECT_EQ(app.boxes.boxes()[1].caption, L"Uninstall Zandrivell");
  EXPECT_EQ(app.Cell(0, kColumnStatus), L"");
  EXPECT_FALSE(test::FileExists(old + L"\\dxgi.dll"));
  EXPECT_EQ(ReadFileBytes(old + L"\\Remove Zandrivell.bat"), kRemove);
}

TEST(ModLifecycle, ACopyIntoTheWrongGameIsUndoneAndAGameUpdateIsNoticed) {
  TempDir dir;
  const std::wstring game = dir / L"Wrong Game";
  const std::string gamesOwn = std::string("MZ the game's own dxgi\0\x7f", 24);
  test::CopyFileOrFail(test::Fixture(L"plain.exe"), game + L"\\Wrong.exe");
  WriteFileBytes(game + L"\\dxgi.dll", gamesOwn);
  const std::vector<std::wstring> before = test::ListNames(game);
  WriteFileBytes(dir / L"data.ini", FormatGameListFile({{game, L"", L"Wrong Game"}}));
  test::AppWindow app(dir.path());
  app.pickerAnswers = {MakePackage(dir, true)};
  app.Press(kIdSetFolderButton);
  app.Select(0);
  {
    test::ShellDialogAnswerer yes(IDYES);  // the shell asks before it replaces dxgi.dll
    app.Press(kIdCopyButton);
  }
  ASSERT_EQ(app.Cell(0, kColumnStatus), L"Copied");
  EXPECT_TRUE(UndoCopyEnabled(SelectedLifecycleFacts(app.main())));
  EXPECT_FALSE(UpdateEnabled(SelectedLifecycleFacts(app.main())));

  // A game update puts its own dxgi.dll back; the next load notices.
  WriteFileBytes(game + L"\\dxgi.dll", gamesOwn);
  app.Press(kIdRefreshButton);
  EXPECT_EQ(GetGame(0)->deployment.health, RecordHealth::Damaged);
  EXPECT_NE(DeploymentTipLine(*GetGame(0)).find(L"(dxgi.dll)"), std::wstring::npos);
  app.Select(0);
  ASSERT_TRUE(UpdateEnabled(SelectedLifecycleFacts(app.main())));
  app.Press(kIdUpdateCommand);  // deploys again, without asking about dxgi.dll
  EXPECT_EQ(ReadFileBytes(game + L"\\dxgi.dll"), "the mod's proxy dxgi");
  EXPECT_EQ(GetGame(0)->deployment.health, RecordHealth::Intact);

  app.Press(kIdUndoCopyCommand);
  const auto boxes = app.boxes.boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[1].caption, L"Undo Copy");
  EXPECT_EQ(boxes[2].caption, L"Undo Copy");
  EXPECT_EQ(boxes[2].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION)) << test::Utf8(boxes[2].text);
  EXPECT_EQ(ReadFileBytes(game + L"\\dxgi.dll"), gamesOwn);
  EXPECT_EQ(test::ListNames(game), before);
  EXPECT_EQ(app.Cell(0, kColumnStatus), L"");
}

}  // namespace
}  // namespace zrcc
