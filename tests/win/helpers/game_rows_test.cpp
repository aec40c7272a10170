// A game refreshed from real folders and shown in a real list view.
#include "helpers/game_rows.h"

#include <gtest/gtest.h>


#include "ui/game_list_pane.h"
#include "ui/notices.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

using test::Fixture;

void CopyFixture(const std::wstring& fixture, const std::wstring& to) {
  const size_t cut = to.find_last_of(L'\\');
  test::MakeDirs(to.substr(0, cut));
  ASSERT_TRUE(CopyFileW(Fixture(fixture).c_str(), to.c_str(), FALSE)) << "copy to " << test::Utf8(to);
}

class GameRowsTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearGames(); }
  void TearDown() override { ClearGames(); }
  TempDir dir;
  test::TestWindow window;
  test::MessageBoxRecorder boxes;
};

TEST_F(GameRowsTest, ForcedRefreshFindsExecutableSizeAndMod) {
  const std::wstring game = dir / L"Alpha";
  CopyFixture(L"plain.exe", game + L"\\bin\\x64\\Alpha.exe");
  CopyFixture(L"zandrivell.dll", game + L"\\bin\\x64\\ZandRivell.dll");
  test::WriteFileBytes(game + L"\\data\\pak0", std::string(3000000, 'x'));
  Game g;
  g.path = game;
  ASSERT_TRUE(RefreshGame(g, true));
  EXPECT_EQ(g.exeFolder, L"bin\\x64");
  EXPECT_EQ(g.modState, ModState::Copied);
  EXPECT_EQ(g.modVersion, L"1.2.3");
  EXPECT_EQ(g.buildVersion, L"build 456");
  EXPECT_EQ(g.sizeText, L"3 MB") << "3,000,000 bytes plus two small PE files";
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(GameRowsTest, RefreshOfAMissingFolderChangesNothing) {
  Game g;
  g.path = dir / L"Gone";
  g.exeFolder = L"bin";
  g.sizeText = L"7 GB";
  g.modState = ModState::Installed;
  EXPECT_FALSE(RefreshGame(g, true));
  EXPECT_EQ(g.exeFolder, L"bin");
  EXPECT_EQ(g.sizeText, L"7 GB");
  EXPECT_EQ(g.modState, ModState::Installed);
}

TEST_F(GameRowsTest, DetectionWithoutForceOnlyWhenTheStoredFolderVanished) {
  const std::wstring game = dir / L"Beta";
  CopyFixture(L"plain.exe", game + L"\\Binaries\\Beta.exe");
  Game stale;
  stale.path = game;
  stale.exeFolder = L"old\\bin";
  stale.name = L"Old";
  ASSERT_TRUE(RefreshGame(stale, false));
  EXPECT_EQ(stale.exeFolder, L"Binaries");
  EXPECT_EQ(stale.name, L"");

  Game noFolder;  // an empty executable folder is never searched again
  noFolder.path = game;
  noFolder.name = L"Kept";
  ASSERT_TRUE(RefreshGame(noFolder, false));
  EXPECT_EQ(noFolder.exeFolder, L"");
  EXPECT_EQ(noFolder.name, L"Kept");
  EXPECT_EQ(noFolder.sizeText.empty(), false);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(GameRowsTest, RowsShowTheGameAndUpdateKeepsTheExecutableFolderColumn) {
  for (int i = 0; i < 3; ++i) {
    Game g;
    g.path = L"C:\\G" + std::to_wstring(i);
    g.sizeText = L"1 MB";
    g.modState = i == 1 ? ModState::Copied : ModState::None;
    g.modVersion = L"1.0";
    g.buildVersion = L"b";
    g.name = L"Name";
    g.exeFolder = L"bin";
    AddGame(g);
    ShowGameRows(window.list(), GameCount());
  }
  ASSERT_EQ(window.RowCount(), 3);
  const wchar_t* expected[] = {L"C:\\G1", L"1 MB", L"Copied", L"1.0", L"b", L"Name", L"bin"};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(window.CellText(1, c), expected[c]) << "column " << c;

  Game* g = GetGame(1);
  g->exeFolder = L"elsewhere";
  g->name = L"New";
  g->modState = ModState::Installed;
  UpdateGameRow(window.list(), 1);
  EXPECT_EQ(window.CellText(1, 5), L"New");
  EXPECT_EQ(window.CellText(1, 2), L"Installed");
  EXPECT_EQ(window.CellText(1, 6), L"bin");
  UpdateGameRow(window.list(), 3);  // outside the catalogue: nothing happens

  EXPECT_FALSE(DeleteGame(window.list(), 3));
  EXPECT_EQ(window.RowCount(), 3);
  EXPECT_TRUE(DeleteGame(window.list(), 0));
  EXPECT_EQ(window.RowCount(), 2);
  EXPECT_EQ(window.CellText(0, 0), L"C:\\G1");
  EXPECT_EQ(GetGame(0)->path, L"C:\\G1");
  EXPECT_EQ(window.StatusText(), L"Games: 2");
}

}  // namespace
}  // namespace zrcc
