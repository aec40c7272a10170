#include "core/catalogue.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearGames(); }
  void TearDown() override { ClearGames(); }
  static void Add(const std::wstring& path) {
    Game g;
    g.path = path;
    AddGame(g);
  }
};

TEST_F(CatalogueTest, GetGameIsNullOutsideTheList) {
  Add(L"C:\\Games\\A");
  Add(L"C:\\Games\\B");
  EXPECT_EQ(GetGame(-1), nullptr);
  EXPECT_EQ(GetGame(2), nullptr);
  ASSERT_NE(GetGame(1), nullptr);
  EXPECT_EQ(GetGame(1)->path, L"C:\\Games\\B");
}

TEST_F(CatalogueTest, PathKeysFoldLetterCaseOnly) {
  Add(L"C:\\Games\\foo");
  EXPECT_TRUE(ContainsPath(L"C:\\GAMES\\Foo"));
  EXPECT_FALSE(ContainsPath(L"C:\\Games\\foo\\"));
  EXPECT_FALSE(ContainsPath(L"C:/Games/foo"));
}

TEST_F(CatalogueTest, AddingAKnownPathAgainKeepsOneGame) {
  Add(L"C:\\Games\\Foo");
  Add(L"c:\\games\\FOO");
  EXPECT_EQ(GameCount(), 1);
  EXPECT_EQ(PathKeyCount(), 1u);
}

TEST_F(CatalogueTest, RemoveShiftsLaterGamesAndFreesTheKey) {
  Add(L"A");
  Add(L"B");
  Add(L"C");
  EXPECT_FALSE(RemoveGameAt(3));
  EXPECT_FALSE(RemoveGameAt(-1));
  EXPECT_EQ(GameCount(), 3);
  EXPECT_TRUE(RemoveGameAt(0));
  ASSERT_EQ(GameCount(), 2);
  EXPECT_EQ(GetGame(0)->path, L"B");
  EXPECT_EQ(GetGame(1)->path, L"C");
  EXPECT_FALSE(ContainsPath(L"a"));
  Add(L"A");
  EXPECT_EQ(GetGame(2)->path, L"A");
  EXPECT_EQ(PathKeyCount(), 3u);
}

TEST_F(CatalogueTest, StateTextsAreExact) {
  EXPECT_EQ(ModStateText(ModState::None), L"");
  EXPECT_EQ(ModStateText(ModState::Copied), L"Copied");
  EXPECT_EQ(ModStateText(ModState::Installed), L"Installed");
  EXPECT_EQ(ModStateText(static_cast<ModState>(7)), L"");
}

}  // namespace
}  // namespace zrcc
