#include "core/game_list_file.h"

#include <gtest/gtest.h>

#include "core/text.h"

namespace zrcc {
namespace {

std::wstring Decode(const std::string& bytes) {
  std::wstring text;
  EXPECT_TRUE(DecodeUtf8Strict(bytes, text));
  return text;
}

std::vector<GameListEntry> Read(const std::string& utf8) { return ReadGameListEntries(utf8); }

TEST(GameListFile, TwoGameExampleIsByteExact) {
  const std::vector<GameListEntry> games = {
      {L"D:\\Games\\Alpha", L"bin\\x64", L"Alpha"},
      {L"E:\\SteamLibrary\\steamapps\\common\\Beta", L"", L""},
  };
  const std::string expected =
      "\xEF\xBB\xBF"
      "[Line0]\r\nPath=D:\\Games\\Alpha\r\nExeFolder=bin\\x64\r\nName=Alpha\r\n\r\n"
      "[Line1]\r\nPath=E:\\SteamLibrary\\steamapps\\common\\Beta\r\nExeFolder=\r\nName=\r\n\r\n";
  EXPECT_EQ(FormatGameListFile(games), expected);
}

TEST(GameListFile, EmptyListIsJustTheByteOrderMarkAndReadsAsNoGames) {
  EXPECT_EQ(FormatGameListFile({}), "\xEF\xBB\xBF");
  EXPECT_TRUE(Read("\xEF\xBB\xBF").empty());
  EXPECT_TRUE(Read("").empty());
}

TEST(GameListFile, WriterAndReaderAgree) {
  std::vector<GameListEntry> games;
  for (int i = 0; i < 300; ++i) {
    games.push_back({L"D:\\Games\\G" + std::to_wstring(i), i % 3 ? L"bin" : L"", i % 2 ? L"Name" : L""});
  }
  games.push_back({Decode("C:\\Spiele\\Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAE"),
                   Decode("\xE6\x97\xA5\xE6\x9C\xAC"), Decode("\xF0\x9F\x8E\xAE Game")});
  games.push_back({L"C:\\Games\\A=B", L"x", L"[Line9]"});
  games.push_back({L"C:\\Games\\Tab\tName", L"", L"#not a comment"});
  EXPECT_EQ(ReadGameListEntries(FormatGameListFile(games)), games);
}

TEST(GameListFile, LineBreaksInAValueNeverBecomeLinesOfTheFile) {
  const std::vector<GameListEntry> games = {
      {L"C:\\Games\\Safe", L"", L"A\r\nPath=C:\\Windows\n[Line9]\nPath=C:\\Evil"},
      {L"C:\\Games\\Other", L"bin", L"B\x01\x1F"},
  };
  const auto back = ReadGameListEntries(FormatGameListFile(games));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].path, L"C:\\Games\\Safe");
  EXPECT_EQ(back[0].name, L"A  Path=C:\\Windows [Line9] Path=C:\\Evil");
  EXPECT_EQ(back[1].name, L"B");  // trailing blanks are trimmed by the reader
  EXPECT_EQ(back[1].exeFolder, L"bin");
}

TEST(GameListFile, LenientFramingReadsLikeTheCanonicalForm) {
  const auto canonical = Read("[Line7]\r\nPath=D:\\Games\\Alpha\r\nExeFolder=bin\r\nName=Alpha\r\n\r\n");
  EXPECT_EQ(Read("[Line7]\nPath=D:\\Games\\Alpha\nExeFolder=bin\nName=Alpha\n"), canonical);
  EXPECT_EQ(Read("  [ Line7 ]  \n\tPath = D:\\Games\\Alpha  \nExeFolder =bin\nName= Alpha"), canonical);
  ASSERT_EQ(canonical.size(), 1u);
  EXPECT_EQ(canonical[0], (GameListEntry{L"D:\\Games\\Alpha", L"bin", L"Alpha"}));
}

TEST(GameListFile, OnlyLineNumberSectionsHoldGamesButEveryHeaderFinishesOne) {
  const auto games = Read(
      "[Line0]\nPath=A\n"
      "[Line]\nPath=B\n"
      "[line3]\nPath=C\n"
      "[Line 3]\nPath=D\n"
      "[Game1]\nPath=E\n"
      "[Line12]\nName=N\nPath=F\n"
      "[Line3\nPath=G\n");
  ASSERT_EQ(games.size(), 2u);
  EXPECT_EQ(games[0].path, L"A");
  // "[Line3" has no closing bracket, so the later Path still belongs to [Line12].
  EXPECT_EQ(games[1], (GameListEntry{L"G", L"", L"N"}));
}

TEST(GameListFile, KeyRules) {
  auto one = [](const std::string& body) { return Read("[Line0]\n" + body); };
  EXPECT_EQ(one("Path=D:\\Games\\A=B\n")[0].path, L"D:\\Games\\A=B");
  EXPECT_TRUE(one("=D:\\Games\nPath\npath=D:\\Games\\A\n").empty());
  EXPECT_EQ(one("Path= D:\\Games\\Alpha  \n")[0].path, L"D:\\Games\\Alpha");
  EXPECT_EQ(one("Path=\nPath=D:\\Later\n")[0].path, L"D:\\Later");
  auto twice = one("Path=D:\\First\nPath=D:\\Last\nName=x\nName=\n");
  ASSERT_EQ(twice.size(), 1u);
  EXPECT_EQ(twice[0].path, L"D:\\Last");
  EXPECT_EQ(twice[0].name, L"");
  EXPECT_TRUE(one("Name=only a name\nExeFolder=bin\n").empty());
  EXPECT_TRUE(Read("Path=D:\\Outside\n[Line0]\n").empty());
  EXPECT_EQ(Read("; comment\n# comment\n[Line0]\n;Path=X\nPath=Y\n")[0].path, L"Y");
  // A NUL makes a path no path: never the text before it, nor (once saved)
  // the text with a blank in its place.
  auto bytes = [](const auto& literal) { return std::string(literal, sizeof literal - 1); };
  EXPECT_TRUE(one(bytes("Path=D:\\A\0B\n")).empty());
  const auto later = one(bytes("Path=D:\\A\0B\nExeFolder=b\0n\nName=N\0\nPath=D:\\C\n"));
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0], (GameListEntry{L"D:\\C", L"", std::wstring(L"N\0", 2)}));
}

TEST(GameListFile, DuplicatesAreAllReportedInFileOrder) {
  const auto games = Read("[Line0]\nPath=D:\\Foo\n[Line0]\nPath=d:\\FOO\n");
  ASSERT_EQ(games.size(), 2u);  // the catalogue keeps the first
  EXPECT_EQ(games[1].path, L"d:\\FOO");
}

TEST(GameListFile, UndecodableFilesHoldNoGames) {
  EXPECT_TRUE(Read("[Line0]\nPath=D:\\Caf\xE9\n").empty());                // Latin-1
  EXPECT_TRUE(Read(std::string("[\0L\0", 4)).empty());                     // UTF-16 without its mark
  std::wstring text;
  EXPECT_FALSE(DecodeGameListBytes("\xEF\xBB\xBF", text));
  EXPECT_TRUE(DecodeGameListBytes("\xEF\xBB\xBF[", text));
  EXPECT_EQ(text, L"[");
  EXPECT_TRUE(DecodeGameListBytes("\xEF\xBB", text) == false);             // two bytes: not a mark, invalid
}

// An editor's "Unicode" save, in either byte order, reads as the list that
// was saved, characters beyond the BMP included; one cut inside a unit does
// not. An "ANSI" save is told from damaged UTF-8.
TEST(GameListFile, ListSavedAgainAsUtf16ReadsTheSame) {
  const std::vector<GameListEntry> games = {{Decode("D:\\Caf\xC3\xA9 \xF0\x9F\x8E\xAE"), L"bin", L"N"}};
  std::wstring text;
  ASSERT_TRUE(DecodeGameListBytes(FormatGameListFile(games), text));
  for (bool bigEndian : {false, true}) {
    std::string utf16 = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : text) {
      const char high = static_cast<char>((static_cast<unsigned>(unit) >> 8) & 0xFF), low = static_cast<char>(unit & 0xFF);
      utf16 += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    EXPECT_EQ(ReadGameListEntries(utf16), games) << bigEndian;
    EXPECT_TRUE(ReadGameListEntries(utf16.substr(0, utf16.size() - 1)).empty());
  }
  EXPECT_TRUE(LooksLikeLocalCodePage("Path=D:\\Caf\xE9\r\n"));
  EXPECT_FALSE(LooksLikeLocalCodePage("Path=D:\\Caf\xC3\xA9\r\nPath=D:\\Caf\xE9\r\n"));
}

}  // namespace
}  // namespace zrcc

namespace zrcc {
namespace {

// The reader is linear in the size of the file: 20 MB of junk lines, with
// headers and keys scattered through them, is read in one pass.
TEST(GameListFile, TwentyMegabytesOfJunkLinesAreReadInOnePass) {
  std::string junk = "\xEF\xBB\xBF";
  junk.reserve(20u << 20);
  unsigned seed = 12345;
  while (junk.size() < (20u << 20)) {
    seed = seed * 1103515245u + 12345u;
    switch (seed >> 28) {
      case 0: junk += "[Line" + std::to_string(seed % 1000) + "]\r\n"; break;
      case 1: junk += "Path=D:\\Games\\G" + std::to_string(seed % 100000) + "\r\n"; break;
      case 2: junk += "[junk section]\r\n"; break;
      default: junk += std::string(20 + seed % 200, static_cast<char>('a' + seed % 26)) + "=x\r\n"; break;
    }
  }
  const auto games = ReadGameListEntries(junk);
  EXPECT_GT(games.size(), 1000u);
  for (const auto& g : games) ASSERT_EQ(g.path.rfind(L"D:\\Games\\G", 0), 0u);
}

}  // namespace
}  // namespace zrcc
