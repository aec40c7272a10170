#include "core/folder_nesting.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

TEST(FolderNesting, InsideMeansBelowAWholeComponentInAnySpelling) {
  EXPECT_TRUE(IsSameOrInsideFolder(L"D:\\Games\\Foo", L"D:\\Games"));
  EXPECT_TRUE(IsSameOrInsideFolder(L"d:\\GAMES\\foo\\bin", L"D:\\Games\\"));
  EXPECT_TRUE(IsSameOrInsideFolder(L"\\\\?\\D:\\Games\\Foo", L"D:/Games"));
  EXPECT_TRUE(IsSameOrInsideFolder(L"\\\\?\\UNC\\nas\\games\\Foo", L"\\\\nas\\games"));
  EXPECT_TRUE(IsSameOrInsideFolder(L"D:\\Games", L"D:\\"));
  EXPECT_TRUE(IsSameOrInsideFolder(L"D:\\Games", L"D:\\Games"));
  EXPECT_FALSE(IsSameOrInsideFolder(L"D:\\Games2", L"D:\\Games"));
  EXPECT_FALSE(IsSameOrInsideFolder(L"D:\\Games", L"D:\\Games\\Foo"));
  EXPECT_FALSE(IsSameOrInsideFolder(L"E:\\Games", L"D:\\"));

  std::vector<Game> games(2);
  games[0].path = L"D:\\Games\\Foo";
  games[1].path = L"D:\\Other";
  EXPECT_EQ(FindGameInside(games, L"D:\\Games"), &games[0]);
  EXPECT_EQ(FindGameInside(games, L"D:\\Games\\Foo"), nullptr);  // the game itself is not inside
  EXPECT_EQ(FindGameHolding(games, L"D:\\Games\\Foo"), &games[0]);
  EXPECT_EQ(FindGameHolding(games, L"D:\\Other\\bin"), &games[1]);
  EXPECT_EQ(FindGameHolding(games, L"D:\\Games"), nullptr);
}

}  // namespace
}  // namespace zrcc
