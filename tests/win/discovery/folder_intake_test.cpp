// A picked folder becoming one game or the games of a Steam library, on real
// folder trees and a real list view.
#include "discovery/folder_intake.h"

#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "core/paths.h"
#include "discovery/steam_manifests.h"
#include "ui/game_list_pane.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

class FolderIntakeTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearGames(); }
  void TearDown() override { ClearGames(); }

  // A library with games A and B (each with an executable) and manifests.
  std::wstring MakeLibrary(const std::wstring& name, const std::wstring& installDirOfB = L"B") {
    const std::wstring library = dir / name;
    for (const wchar_t* game : {L"A", L"B"}) {
      test::WriteFileBytes(library + L"\\steamapps\\common\\" + game + L"\\" + game + L".exe", "MZ");
    }
    test::WriteFileBytes(library + L"\\steamapps\\appmanifest_1.acf", "\"name\"\t\"Game A\"\n\"installdir\" \"A\"\n");
    test::WriteFileBytes(library + L"\\steamapps\\appmanifest_2.acf",
                         "\"name\"\t\"Game B\"\n\"installdir\" \"" + test::Utf8(installDirOfB) + "\"\n");
    return library;
  }
  std::vector<std::wstring> Captions() const {
    std::vector<std::wstring> texts;
    for (const auto& box : boxes.boxes()) texts.push_back(box.caption + L": " + box.text);
    return texts;
  }

  TempDir dir;
  test::TestWindow window;
  test::MessageBoxRecorder boxes;
};

TEST_F(FolderIntakeTest, SteamLibraryGivesOneNamedGamePerFolder) {
  const std::wstring library = MakeLibrary(L"SteamLibrary");
  EXPECT_TRUE(AddGameFolder(window.pane(), library));
  ASSERT_EQ(GameCount(), 2);
  EXPECT_EQ(GetGame(0)->path, library + L"\\steamapps\\common\\A");
  EXPECT_EQ(GetGame(0)->name, L"Game A");
  EXPECT_EQ(GetGame(1)->name, L"Game B");
  EXPECT_EQ(window.RowCount(), 2);
  EXPECT_EQ(window.CellText(1, 5), L"Game B");
  EXPECT_EQ(window.StatusText(), L"Games: 2");
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(FolderIntakeTest, SteamappsFolderAndLibraryRootGiveTheSameGames) {
  const std::wstring library = MakeLibrary(L"lib");
  EXPECT_TRUE(AddGameFolder(window.pane(), library + L"\\SteamApps\\"));
  ASSERT_EQ(GameCount(), 2);
  EXPECT_EQ(GetGame(1)->name, L"Game B");
}

// A library the user named otherwise is known by what it holds.
TEST_F(FolderIntakeTest, LibraryNamedWithoutSteamIsKnownBySteamappsCommon) {
  const std::wstring library = MakeLibrary(L"Games");
  EXPECT_TRUE(AddGameFolder(window.pane(), library));
  ASSERT_EQ(GameCount(), 2);
  EXPECT_EQ(GetGame(1)->path, library + L"\\steamapps\\common\\B");
  EXPECT_EQ(GetGame(1)->name, L"Game B");

  const std::wstring noCommon = dir / L"Other";
  test::WriteFileBytes(noCommon + L"\\Other.exe", "MZ");
  test::MakeDirs(noCommon + L"\\steamapps");
  EXPECT_TRUE(AddGameFolder(window.pane(), noCommon));
  ASSERT_EQ(GameCount(), 3);
  EXPECT_EQ(GetGame(2)->path, noCommon);
  EXPECT_TRUE(boxes.boxes().empty());
}

// The folder Steam installs into is the library's games, not one game of
// all their sizes; a game whose name merely contains "steam" is one game.
TEST_F(FolderIntakeTest, CommonFolderIsItsLibraryAndSteamNamedGameIsOneGame) {
  const std::wstring library = MakeLibrary(L"SteamLibrary");
  EXPECT_TRUE(AddGameFolder(window.pane(), library + L"\\steamapps\\Common"));
  ASSERT_EQ(GameCount(), 2);
  EXPECT_EQ(GetGame(0)->path, library + L"\\steamapps\\Common\\A");
  EXPECT_EQ(GetGame(1)->name, L"Game B");

  const std::wstring tales = dir / L"Steamforge Tales";
  test::WriteFileBytes(tales + L"\\SteamforgeTales.exe", "MZ");
  EXPECT_TRUE(AddGameFolder(window.pane(), tales));
  ASSERT_EQ(GameCount(), 3);
  EXPECT_EQ(GetGame(2)->path, tales);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(FolderIntakeTest, SteamFolderWithoutCommonIsOneGameButItsManifestsAreRead) {
  const std::wstring steam = dir / L"Steam";
  test::WriteFileBytes(steam + L"\\steam.exe", "MZ");
  test::WriteFileBytes(steam + L"\\steamapps\\appmanifest_9.acf", "\"name\" \"Nine\" \"installdir\" \"Nine\"");
  EXPECT_TRUE(AddGameFolder(window.pane(), steam));
  ASSERT_EQ(GameCount(), 1);
  EXPECT_EQ(GetGame(0)->path, steam);
  EXPECT_EQ(SteamNameOf(KnownSteamNames(), steam + L"\\steamapps\\common\\Nine"), L"Nine");
}

TEST_F(FolderIntakeTest, DuplicatesAreRefusedWithTheirWarnings) {
  const std::wstring library = MakeLibrary(L"SteamLibrary");
  EXPECT_TRUE(AddGameFolder(window.pane(), library));
  EXPECT_FALSE(AddGameFolder(window.pane(), library));
  EXPECT_EQ(GameCount(), 2);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, L"Duplicate");
  EXPECT_EQ(boxes.boxes()[0].text, L"All Steam games from this folder are already in the list.");
  EXPECT_EQ(boxes.boxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_EQ(window.StatusText(), L"Games: 2");

  const std::wstring single = dir / L"Games\\Foo";
  test::WriteFileBytes(single + L"\\Foo.exe", "MZ");
  EXPECT_TRUE(AddGameFolder(window.pane(), single));
  std::wstring otherCase = single;
  for (auto& c : otherCase) c = static_cast<wchar_t>(towupper(c));
  EXPECT_FALSE(AddGameFolder(window.pane(), otherCase));
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_EQ(boxes.boxes()[1].text, L"This folder is already in the list.");
  EXPECT_EQ(GameCount(), 3);
}

TEST_F(FolderIntakeTest, PartlyListedLibraryAddsTheRestSilently) {
  const std::wstring library = MakeLibrary(L"SteamLibrary");
  EXPECT_TRUE(AddGameFolder(window.pane(), library + L"\\steamapps\\common\\B"));
  EXPECT_TRUE(AddGameFolder(window.pane(), library));
  ASSERT_EQ(GameCount(), 2);
  EXPECT_EQ(GetGame(1)->path, library + L"\\steamapps\\common\\A");
  EXPECT_TRUE(boxes.boxes().empty());
}

// Windows finds "b" and "B" to be one folder, and so does the name lookup.
TEST_F(FolderIntakeTest, ManifestInstallDirInOtherLetterCaseStillNamesTheGame) {
  const std::wstring library = MakeLibrary(L"SteamLibrary", L"b");
  EXPECT_TRUE(AddGameFolder(window.pane(), library));
  ASSERT_EQ(GameCount(), 2);
  EXPECT_EQ(GetGame(1)->name, L"Game B");
}

// A folder around or inside a listed game is refused naming that game, so
// is a library inside one; a library with no game says so.
TEST_F(FolderIntakeTest, NestedFoldersAndEmptyLibrariesAreRefusedSayingWhy) {
  const std::wstring library = MakeLibrary(L"SteamLibrary");
  const std::wstring gameB = library + L"\\steamapps\\common\\B";
  test::MakeDirs(gameB + L"\\Binaries");
  test::WriteFileBytes(dir / L"Old\\Steam\\steamapps\\common\\C\\C.exe", "MZ");
  test::WriteFileBytes(dir / L"Empty\\steamapps\\common\\readme.txt", "no game");
  EXPECT_TRUE(AddGameFolder(window.pane(), gameB));
  EXPECT_TRUE(AddGameFolder(window.pane(), dir / L"Old"));  // a library once added as one game
  GetGame(0)->name = L"Game B";
  GetGame(1)->name = L"";
  for (const std::wstring& pick : {library + L"\\steamapps\\common\\b\\Binaries", dir / L"Old\\Steam", dir / L"Empty", dir.path()}) {
    EXPECT_FALSE(AddGameFolder(window.pane(), pick));
  }
  EXPECT_TRUE(AddGameFolder(window.pane(), library));  // a library holding a listed game adds the others
  EXPECT_EQ(GameCount(), 3);
  EXPECT_EQ(Captions(), (std::vector<std::wstring>{
                            L"Duplicate: This folder lies inside a game that is already in the list:\nGame B\n" + gameB,
                            L"Duplicate: This folder lies inside a game that is already in the list:\n" + dir / L"Old",
                            L"No games found: This Steam library has no installed games:\n" +
                                dir / L"Empty\\steamapps\\common",
                            L"Duplicate: This folder holds a game that is already in the list:\nGame B\n" + gameB,
                        }));
  EXPECT_EQ(window.StatusText(), L"Games: 3");
}

// A whole drive is no game, however it is spelt; a library at a drive's root
// is still a library.
TEST_F(FolderIntakeTest, ADrivesRootIsRefusedAsAGame) {
  for (const std::wstring root : {L"C:\\", L"C:\\windows\\..", L"\\\\?\\C:\\"}) {
    EXPECT_FALSE(AddGameFolder(window.pane(), root)) << test::Utf8(root);
  }
  EXPECT_EQ(GameCount(), 0);
  ASSERT_EQ(boxes.boxes().size(), 3u);
  EXPECT_EQ(boxes.boxes()[0].caption, L"Invalid Folder");
  EXPECT_EQ(boxes.boxes()[2].text.substr(0, 40), L"This is a whole drive, not a game folder");
}

TEST_F(FolderIntakeTest, GameWithoutExecutableIsAddedWithAWarning) {
  const std::wstring empty = dir / L"Empty Game";
  test::MakeDirs(empty);
  EXPECT_TRUE(AddGameFolder(window.pane(), empty));
  EXPECT_EQ(GameCount(), 1);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, L"No executable found");
}

TEST_F(FolderIntakeTest, GameFolderPastThePathLimitStillGetsItsSteamName) {
  std::wstring library = dir.path();
  while (library.size() < 222) library += L"\\deeper";
  library += L"\\SteamLibrary";
  const std::wstring steamapps = library + L"\\steamapps";
  const std::wstring game = L"A game whose folder name is long";
  test::WriteFileBytes(steamapps + L"\\common\\" + game + L"\\Game.exe", "MZ");
  test::WriteFileBytes(steamapps + L"\\appmanifest_5.acf",
                       "\"name\" \"Long One\" \"installdir\" \"" + test::Utf8(game) + "\"");
  ASSERT_LT(steamapps.size(), 260u);
  EXPECT_TRUE(AddGameFolder(window.pane(), library));
  ASSERT_EQ(GameCount(), 1);
  EXPECT_EQ(GetGame(0)->path.rfind(L"\\\\?\\", 0), 0u);
  EXPECT_EQ(GetGame(0)->name, L"Long One");
}

TEST(NormalizeFolderPath, FullPathsWithoutTrailingBackslashExceptRoots) {
  EXPECT_EQ(NormalizeFolderPath(L""), L"");
  EXPECT_EQ(NormalizeFolderPath(L"C:\\Games\\Foo\\"), L"C:\\Games\\Foo");
  EXPECT_EQ(NormalizeFolderPath(L"C:\\Games\\.\\Foo\\..\\Bar"), L"C:\\Games\\Bar");
  EXPECT_EQ(NormalizeFolderPath(L"D:\\"), L"D:\\");
  const std::wstring deep = L"C:\\" + std::wstring(270, L'x');
  EXPECT_EQ(NormalizeFolderPath(deep), L"\\\\?\\" + deep);
}

// Past the classic limit a network folder takes the long form of a share, a
// drive folder that of a drive: both are the one long form every file call
// is handed, and both name the folder the plain path names.
TEST(NormalizeFolderPath, LongDriveAndNetworkFoldersTakeTheLongFormTheFileCallsUse) {
  const std::wstring tail = L"\\" + std::wstring(120, L'x') + L"\\.\\" + std::wstring(150, L'y') + L"\\";
  for (const std::wstring root : {L"C:\\Games", L"\\\\server\\share"}) {
    const std::wstring normalised = NormalizeFolderPath(root + tail);
    EXPECT_EQ(normalised, ExtendedLengthPath(root + tail.substr(0, tail.size() - 1)));
    EXPECT_EQ(PlainPath(normalised), root + L"\\" + std::wstring(120, L'x') + L"\\" + std::wstring(150, L'y'));
  }
  EXPECT_EQ(NormalizeFolderPath(L"\\\\server\\share" + tail).substr(0, 22), L"\\\\?\\UNC\\server\\share\\x");
  // A folder named like a device stays that folder.
  EXPECT_EQ(NormalizeFolderPath(L"C:\\Games\\.\\COM1\\"), L"C:\\Games\\COM1");
  EXPECT_EQ(NormalizeFolderPath(L"nul"), L"");
}

TEST(ClassifyFolderName, ByTheLastComponentOnly) {
  EXPECT_EQ(ClassifyFolderName(L"D:\\lib\\SteamApps"), FolderKind::SteamApps);
  EXPECT_EQ(ClassifyFolderName(L"D:\\Old STEAM games"), FolderKind::SteamLibraryRoot);
  EXPECT_EQ(ClassifyFolderName(L"D:\\lib\\steamapps\\Common"), FolderKind::SteamCommon);
  EXPECT_EQ(ClassifyFolderName(L"D:\\steam\\common"), FolderKind::Single);
  EXPECT_EQ(ClassifyFolderName(L"D:\\"), FolderKind::Single);
}

}  // namespace
}  // namespace zrcc
