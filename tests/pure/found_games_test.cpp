#include "core/found_games.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zrcc {
namespace {

TEST(FoundGames, TheLaunchersExecutableCountsOnlyBelowTheGameFolder) {
  const std::wstring game = L"C:\\Games\\Delta Saga";
  EXPECT_EQ(LauncherExecutableBelow(game, L"Bin/Win64/gq_ship.exe"), L"Bin\\Win64\\gq_ship.exe");  // Epic
  EXPECT_EQ(LauncherExecutableBelow(game, L"c:\\games\\DELTA SAGA\\bin\\x64\\ds64.exe"), L"bin\\x64\\ds64.exe");
  EXPECT_EQ(LauncherExecutableBelow(L"\\\\?\\" + game, game + L"\\.\\ds.exe "), L"ds.exe");
  for (const wchar_t* outside : {L"", L"  ", L"C:\\Games\\Delta Saga", L"C:\\Games\\Delta Saga 2\\ds.exe",
                                 L"D:\\Games\\Delta Saga\\ds.exe", L"..\\Other\\x.exe", L"bin\\..\\..\\x.exe",
                                 L"\\Games\\Delta Saga\\ds.exe", L"C:\\Games\\Delta Saga\\y:\\ds.exe",
                                 L"ds.exe:stream"}) {
    EXPECT_EQ(LauncherExecutableBelow(game, outside), std::nullopt) << outside;
  }
}

TEST(FoundGames, OneGamePerFolderTheOutermostWins) {
  const std::vector<std::wstring> folders = {
      L"D:\\Games\\Foo",     L"d:\\games\\FOO\\",   L"D:\\Games\\Foo\\DLC", L"\\\\?\\D:\\Games\\Bar\\Sub",
      L"D:\\Games\\Foobar",  L"",                   L"D:/Games/Bar",        L"\\\\server\\share\\G",
      L"\\\\?\\UNC\\server\\share\\G\\x"};
  EXPECT_EQ(OutermostFolders(folders), (std::vector<size_t>{0, 4, 6, 7}));
}

// A tally of games added, already listed and without an executable.
FindTally Tally(size_t added, size_t alreadyListed, size_t noExecutable) {
  FindTally tally;
  tally.added = added;
  tally.alreadyListed = alreadyListed;
  tally.noExecutable = noExecutable;
  return tally;
}

TEST(FoundGames, OneSummarySaysWhatBecameOfEveryGame) {
  EXPECT_EQ(FindSummaryText(Tally(37, 104, 2), {{SkipItem::SteamLibrary, GameSource::Steam, L"E:\\SteamLibrary",
                                              SkipReason::DriveNotPresent}}),
            L"Found 143 games: 37 added, 104 already in the list, 2 without an executable. "
            L"Skipped: library E:\\SteamLibrary (drive not present).");
  EXPECT_EQ(FindSummaryText(Tally(1, 0, 0), {}), L"Found 1 game: 1 added.");
  EXPECT_EQ(FindSummaryText(Tally(0, 0, 0), {}), L"Found no games.");
  EXPECT_EQ(SearchingText(GameSource::Steam), L"Searching Steam libraries...");
  EXPECT_EQ(SearchingText(GameSource::BattleNet), L"Searching Battle.net games...");
  // Store games in protected folders are found, counted, and no fault.
  FindTally fromSeveral;
  fromSeveral.added = 4;
  fromSeveral.addedFrom[static_cast<size_t>(GameSource::Steam)] = 3;
  fromSeveral.addedFrom[static_cast<size_t>(GameSource::Xbox)] = 1;
  fromSeveral.cannotBeChanged = 2;
  EXPECT_EQ(FindSummaryText(fromSeveral, {}),
            L"Found 6 games: 4 added (Steam 3, Xbox 1), 2 cannot be changed (protected Microsoft Store folders).");
  std::vector<FindSkip> many(11, {SkipItem::LauncherFile, GameSource::Epic, L"x.item", SkipReason::NotUnderstood});
  const std::wstring text = FindSummaryText(Tally(0, 3, 0), many);
  EXPECT_TRUE(text.starts_with(L"Found 3 games: 0 added, 3 already in the list. Skipped: ")) << text.size();
  EXPECT_TRUE(text.ends_with(L"(not understood); and 3 more.")) << text.size();
}

}  // namespace
}  // namespace zrcc
