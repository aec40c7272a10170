// data.ini on a real (Wine) file system: SaveData, the reading half of the
// load, the atomic replace and the keeping aside of an unreadable list.
#include "helpers/data_file.h"

#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "platform/app_folder.h"
#include "ui/game_list_pane.h"
#include "ui/notices.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppFolderForTesting(dir.path());
    ClearGames();
    std::wstring ignored;
    ReadDataFileText(ignored);  // forget what an earlier test's load met
  }
  void TearDown() override {
    ClearGames();
    SetAppFolderForTesting(L"");
  }
  static void Add(const std::wstring& path, const std::wstring& exe, const std::wstring& name) {
    Game g;
    g.path = path;
    g.exeFolder = exe;
    g.name = name;
    g.sizeText = L"5 GB";  // derived fields are never written
    AddGame(g);
  }
  std::vector<GameListEntry> Reload() {
    std::wstring text;
    if (!ReadDataFileText(text)) return {};
    return ParseGameListText(text);
  }
  TempDir dir;
  test::MessageBoxRecorder boxes;
};

TEST_F(DataFileTest, SavesTheCatalogueAndReadsItBack) {
  const std::wstring cafe = test::Wide("D:\\Spiele\\Caf\xC3\xA9 \xF0\x9F\x8E\xAE");
  Add(L"D:\\Games\\Alpha", L"bin\\x64", L"Alpha");
  Add(cafe, L"", test::Wide("\xE6\x97\xA5\xE6\x9C\xAC"));
  Add(L"E:\\Beta", L"", L"");
  ASSERT_TRUE(SaveData());
  const std::string bytes = test::ReadFileBytes(dir / L"data.ini");
  EXPECT_EQ(bytes.substr(0, 12), "\xEF\xBB\xBF[Line0]\r\n");
  EXPECT_NE(bytes.find("Path=D:\\Spiele\\Caf\xC3\xA9 \xF0\x9F\x8E\xAE\r\n"), std::string::npos);
  const auto back = Reload();
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0], (GameListEntry{L"D:\\Games\\Alpha", L"bin\\x64", L"Alpha"}));
  EXPECT_EQ(back[1].path, cafe);
  EXPECT_EQ(back[2], (GameListEntry{L"E:\\Beta", L"", L""}));
  EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::wstring>{L"data.ini"});
}

TEST_F(DataFileTest, EmptyCatalogueIsTheByteOrderMarkOnly) {
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.ini"), "\xEF\xBB\xBF");
  std::wstring text;
  EXPECT_FALSE(ReadDataFileText(text));
}

TEST_F(DataFileTest, MissingFileReadsAsNoGames) {
  std::wstring text = L"x";
  EXPECT_FALSE(ReadDataFileText(text));
  EXPECT_TRUE(text.empty());
}

TEST_F(DataFileTest, FailedSaveLeavesThePreviousFileAndSaysSo) {
  const std::string previous = "\xEF\xBB\xBF[Line0]\r\nPath=C:\\Old\r\nExeFolder=\r\nName=\r\n\r\n";
  test::WriteFileBytes(dir / L"data.ini", previous);
  SetFileAttributesW((dir / L"data.ini").c_str(), FILE_ATTRIBUTE_READONLY);
  Add(L"C:\\New", L"", L"");
  EXPECT_FALSE(SaveData());
  SetFileAttributesW((dir / L"data.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.ini"), previous);
  EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::wstring>{L"data.ini"});
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].caption, L"Error");
  EXPECT_EQ(boxes.boxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  EXPECT_NE(boxes.boxes()[0].text.find(dir / L"data.ini"), std::wstring::npos);
}

TEST_F(DataFileTest, LeftoverTemporaryFileOfAnInterruptedSaveIsReplaced) {
  test::WriteFileBytes(dir / L"data.ini.saving", "half a list");
  Add(L"C:\\A", L"", L"");
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::wstring>{L"data.ini"});
}

TEST_F(DataFileTest, UnreadableListIsKeptAsideBeforeItIsReplaced) {
  const std::string damaged = "[Line0]\r\nPath=C:\\Caf\xC3\xA9\xE9\r\n";  // UTF-8 with a stray byte
  test::WriteFileBytes(dir / L"data.ini", damaged);
  EXPECT_TRUE(Reload().empty());
  // Nothing to save yet: the file stays as it is.
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.ini"), damaged);
  Add(L"C:\\New", L"", L"");
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.unreadable.ini"), damaged);
  EXPECT_EQ(Reload().size(), 1u);

  // A second unreadable file never overwrites the first kept copy.
  const std::string utf16("[\0L\0", 4);  // without its byte order mark
  test::WriteFileBytes(dir / L"data.ini", utf16);
  EXPECT_TRUE(Reload().empty());
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.unreadable.ini"), damaged);
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.unreadable.2.ini"), utf16);
  // The user was told each time, with the file and where it would be kept.
  ASSERT_EQ(boxes.boxes().size(), 2u);
  EXPECT_NE(boxes.boxes()[1].text.find(dir / L"data.ini\n"), std::wstring::npos);
  EXPECT_NE(boxes.boxes()[1].text.find(dir / L"data.unreadable.2.ini"), std::wstring::npos);

  // Once kept, later saves just write the list.
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(test::ListNames(dir.path()).size(), 3u);
}

// A list beyond the limit would be read whole into memory: it is kept aside
// (moved, as a copy could fill the disk), the user is told once, and the
// list starts empty. The file is sparse: its size costs no disk.
TEST_F(DataFileTest, ListAboveTheSizeLimitIsKeptAsideAndTheUserToldOnce) {
  const std::wstring path = dir / L"data.ini";
  test::WriteFileBytes(path, FormatGameListFile({{L"C:\\Old", L"", L""}}));
  ASSERT_TRUE(test::ExtendSparse(path, kMaxDataFileBytes + 1));
  EXPECT_TRUE(Reload().empty());
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find(path), std::wstring::npos);
  EXPECT_EQ(boxes.boxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));

  Add(L"C:\\New", L"", L"");
  ASSERT_TRUE(SaveData());
  WIN32_FILE_ATTRIBUTE_DATA kept{};
  ASSERT_TRUE(GetFileAttributesExW((dir / L"data.unreadable.ini").c_str(), GetFileExInfoStandard, &kept));
  EXPECT_EQ((uint64_t{kept.nFileSizeHigh} << 32) | kept.nFileSizeLow, kMaxDataFileBytes + 1);
  const auto back = Reload();
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].path, L"C:\\New");
  EXPECT_EQ(boxes.boxes().size(), 1u);
}

// An editor's "ANSI" save of the list reads as the list in this PC's code
// page, and the next save writes UTF-8 again, the original kept aside first:
// the code page it was written in may have been another PC's.
TEST_F(DataFileTest, ListSavedAgainInTheLocalCodePageIsReadAndSavedBackAsUtf8) {
  const std::vector<GameListEntry> games = {{L"C:\\Spiele\\Caf\u00E9", L"bin", L"Caf\u00E9"}};
  std::wstring text;
  ASSERT_TRUE(DecodeGameListBytes(FormatGameListFile(games), text));
  BOOL lossy = FALSE;
  std::string ansi(text.size() * 2, '\0');
  ansi.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                                      ansi.data(), static_cast<int>(ansi.size()), nullptr, &lossy)));
  if (lossy || ansi == test::Utf8(text)) GTEST_SKIP() << "this code page has no single-byte \u00E9";
  test::WriteFileBytes(dir / L"data.ini", ansi);
  EXPECT_EQ(Reload(), games);
  Add(games[0].path, games[0].exeFolder, games[0].name);
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.ini"), FormatGameListFile(games));
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.unreadable.ini"), ansi);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(DataFileTest, ListThatOnlyHoldsTheMarkIsNotKeptAside) {
  test::WriteFileBytes(dir / L"data.ini", "\xEF\xBB\xBF");
  EXPECT_TRUE(Reload().empty());
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::wstring>{L"data.ini"});
}

TEST_F(DataFileTest, ProgramFolderBeyond260CharactersStillLoadsAndSaves) {
  std::wstring deep = dir.path();
  while (deep.size() < 300) deep += L"\\a-rather-long-folder-name";
  test::MakeDirs(deep);
  SetAppFolderForTesting(deep);
  Add(L"C:\\Deep", L"bin", L"Deep");
  ASSERT_TRUE(SaveData());
  const auto back = Reload();
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].name, L"Deep");
}

}  // namespace
}  // namespace zrcc

namespace zrcc {
namespace {

TEST_F(DataFileTest, ListHeldOpenByAnotherProgramIsNotReplacedSilently) {
  const std::string previous = "\xEF\xBB\xBF";
  test::WriteFileBytes(dir / L"data.ini", previous);
  Add(L"C:\\New", L"", L"");
  HANDLE locked = CreateFileW((dir / L"data.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  const bool saved = SaveData();
  CloseHandle(locked);
  // Either the replace went through in one piece or it failed with a message.
  if (saved) {
    EXPECT_EQ(ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini")).size(), 1u);
    EXPECT_TRUE(boxes.boxes().empty());
  } else {
    EXPECT_EQ(test::ReadFileBytes(dir / L"data.ini"), previous);
    EXPECT_EQ(boxes.boxes().size(), 1u);
  }
  EXPECT_FALSE(test::FileExists(dir / L"data.ini.saving"));
}

}  // namespace
}  // namespace zrcc
