// Lists as large as real users keep: 1,500 games load, all rows show, and an
// unchanged list is saved back byte for byte.
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "helpers/data_file.h"
#include "helpers/loader.h"
#include "platform/app_folder.h"
#include "ui/game_list_pane.h"
#include "ui/notices.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

TEST(BigList, FifteenHundredGamesLoadAndSaveBackUnchanged) {
  test::TempDir dir;
  test::TestWindow window;
  test::MessageBoxRecorder boxes;
  SetAppFolderForTesting(dir.path());
  ClearGames();
  std::vector<GameListEntry> games;
  for (int i = 0; i < 1500; ++i) {
    const std::wstring game = dir / (L"Library\\Game " + std::to_wstring(i));
    const bool hasBin = i % 2 == 0;
    test::MakeDirs(hasBin ? game + L"\\bin" : game);
    games.push_back({game, hasBin ? L"bin" : L"", L"Game " + std::to_wstring(i)});
  }
  const std::string original = FormatGameListFile(games);
  test::WriteFileBytes(dir / L"data.ini", original);

  ASSERT_TRUE(LaunchAsyncLoadData(window.pane()));
  ASSERT_TRUE(window.WaitForLoadEnd(0, 300000));
  EXPECT_EQ(window.RowCount(), 1500);
  EXPECT_EQ(window.StatusText(), L"Games: 1500");
  EXPECT_EQ(window.CellText(1499, 0), games.back().path);
  ASSERT_TRUE(SaveData());
  EXPECT_TRUE(test::ReadFileBytes(dir / L"data.ini") == original);
  EXPECT_TRUE(boxes.boxes().empty());
  ClearGames();
  SetAppFolderForTesting(L"");
}

}  // namespace
}  // namespace zrcc
