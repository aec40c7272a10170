#include "core/steam_manifest_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zrcc {

namespace {

std::wstring Value(const std::string& text, const wchar_t* key) {
  return ExtractQuotedValue(text.data(), text.size(), key);
}

TEST(SteamManifestText, FindsTheQuotedValueAfterTheKey) {
  const std::string manifest =
      "\"AppState\"\n{\n\t\"appid\"\t\t\"1\"\n\t\"name\"\t\t\"Iron Coast 2077\"\n"
      "\t\"installdir\"\t\t\"Iron Coast 2077\"\n\t\"UserConfig\"\n\t{\n\t\t\"name\"\t\"other\"\n\t}\n}\n";
  EXPECT_EQ(Value(manifest, L"name"), L"Iron Coast 2077");  // the first occurrence wins
  EXPECT_EQ(Value(manifest, L"installdir"), L"Iron Coast 2077");
  EXPECT_EQ(Value("\"name\"\r\n\r\n   \"A\"", L"name"), L"A");
  EXPECT_EQ(Value("\"name\"\"\"", L"name"), L"");
  EXPECT_EQ(Value("\"name\" \"two\nlines\"", L"name"), L"two\nlines");
  EXPECT_EQ(Value("\"name\"garbage\"B\"", L"name"), L"B");  // no syntax check between key and value
}

// Steam writes a quote or a backslash inside a quoted text with a backslash
// before it; other backslashes (a path's) stay as they are.
TEST(SteamManifestText, UnescapesQuotesAndBackslashesAndComparesKeysExactly) {
  EXPECT_EQ(Value("\"name\" \"The \\\"Quoted\\\" Game\" \"installdir\" \"Q\"", L"name"), L"The \"Quoted\" Game");
  EXPECT_EQ(Value("\"name\" \"AC\\\\DC Racer\"", L"name"), L"AC\\DC Racer");
  EXPECT_EQ(Value("\"name\" \"C:\\Games\\x\"", L"name"), L"C:\\Games\\x");
  EXPECT_EQ(Value("\"name\" \"ends in one\\\\\" \"installdir\" \"E\"", L"installdir"), L"E");
  // An escaped quote inside a value neither ends it nor starts a key.
  EXPECT_EQ(Value("\"title\" \"say \\\"name\\\" twice\" \"name\" \"Real\"", L"name"), L"Real");
  EXPECT_EQ(Value("\"InstallDir\" \"x\"", L"installdir"), L"");
  EXPECT_EQ(Value("\"gamename\" \"x\" \"name\" \"y\"", L"name"), L"y");  // the key stands in quotes
}

TEST(SteamManifestText, MissingPartsGiveEmptyText) {
  EXPECT_EQ(Value("\"name\"", L"name"), L"");
  EXPECT_EQ(Value("\"name\" \"open", L"name"), L"");
  EXPECT_EQ(Value("\"installdir\" \"x\"", L"name"), L"");
  EXPECT_EQ(Value("", L"name"), L"");
  EXPECT_EQ(Value("\"name\" \"x\"", nullptr), L"");
  EXPECT_EQ(ExtractQuotedValue(nullptr, 5, L"name"), L"");
  const std::string text = "\"name\" \"x\"";
  EXPECT_EQ(ExtractQuotedValue(text.data(), 0, L"name"), L"");
  EXPECT_EQ(ExtractQuotedValue(text.data(), text.size() - 1, L"name"), L"");  // length bounds the search
}

TEST(SteamManifestText, DecodesUtf8AndToleratesInvalidBytes) {
  EXPECT_EQ(Value("\xEF\xBB\xBF\"name\" \"Caf\xC3\xA9 \xF0\x9F\x8E\xAE\"", L"name"),
            (std::wstring{L'C', L'a', L'f', static_cast<wchar_t>(0xE9), L' ', static_cast<wchar_t>(0xD83C),
                          static_cast<wchar_t>(0xDFAE)}));
  EXPECT_EQ(Value("\xFF\"name\" \"a\xC3\"", L"name"), (std::wstring{L'a', static_cast<wchar_t>(0xFFFD)}));
  // The reader hands over its whole zero-filled buffer.
  std::string padded = "\"name\" \"Foo\"";
  padded.resize(10240, '\0');
  EXPECT_EQ(Value(padded, L"name"), L"Foo");
  EXPECT_EQ(Value(padded, L"installdir"), L"");
}

TEST(SteamManifestText, ManifestNamesEndInExactlyDotAcf) {
  EXPECT_TRUE(IsManifestFileName(L"appmanifest_10.acf"));
  EXPECT_TRUE(IsManifestFileName(L"x.acf"));
  EXPECT_TRUE(IsManifestFileName(L"a.b.acf"));
  EXPECT_TRUE(IsManifestFileName(L"..acf"));
  EXPECT_FALSE(IsManifestFileName(L".acf"));
  EXPECT_FALSE(IsManifestFileName(L"x.ACF"));
  EXPECT_FALSE(IsManifestFileName(L"x.acf.bak"));
  EXPECT_FALSE(IsManifestFileName(L"xacf"));
  EXPECT_FALSE(IsManifestFileName(L"x.acf "));
  EXPECT_FALSE(IsManifestFileName(L""));
}

SteamUpdate UpdateOf(const std::string& manifest) {
  return DecideSteamUpdate(ReadSteamAppState(manifest.data(), manifest.size()));
}

std::string Manifest(const std::string& flags, const std::string& build = "100", const std::string& target = "") {
  return "\"AppState\"\n{\n\t\"appid\"\t\t\"10\"\n\t\"StateFlags\"\t\t\"" + flags +
         "\"\n\t\"buildid\"\t\t\"" + build + "\"\n" + (target.empty() ? "" : "\t\"TargetBuildID\"\t\t\"" + target + "\"\n") +
         "\t\"UserConfig\"\n\t{\n\t\t\"StateFlags\"\t\t\"1024\"\n\t\t\"buildid\"\t\t\"7\"\n\t}\n}\n";
}

// Steam's state flags and the build it is heading for say whether it is
// writing the game's files, or is about to; only the manifest's own keys
// count, in any letter case.
TEST(SteamManifestText, TellsAnUpdateRunningPausedOrPending) {
  EXPECT_EQ(UpdateOf(Manifest("4")), SteamUpdate::None);
  EXPECT_EQ(UpdateOf(Manifest("6")), SteamUpdate::Pending);
  EXPECT_EQ(UpdateOf(Manifest("4", "100", "100")), SteamUpdate::None);
  EXPECT_EQ(UpdateOf(Manifest("4", "100", "0")), SteamUpdate::None);
  EXPECT_EQ(UpdateOf(Manifest("4", "100", "101")), SteamUpdate::Pending);
  EXPECT_EQ(UpdateOf(Manifest("1048580")), SteamUpdate::Running);
  EXPECT_EQ(UpdateOf(Manifest("1540")), SteamUpdate::Paused);  // started, then paused
  EXPECT_EQ(UpdateOf(Manifest("68")), SteamUpdate::None);      // the game running is no update
  EXPECT_EQ(UpdateOf("\xEF\xBB\xBF\"AppState\" { \"stateflags\" \"6\" }"), SteamUpdate::Pending);
  EXPECT_EQ(UpdateOf("\"AppState\" { \"Sub\" { \"StateFlags\" \"6\" } \"StateFlags\" \"4\" }"), SteamUpdate::None);
  EXPECT_EQ(UpdateOf("\"AppState\" { \"StateFlags\" \"99999999999999999999999\" }"), SteamUpdate::None);
}

// A manifest cut short anywhere gives each value whole or not at all, never
// a number cut in two.
TEST(SteamManifestText, EveryTruncationGivesWholeValuesOrNone) {
  const std::string full = Manifest("1048580", "123456", "123457");
  const SteamAppState whole = ReadSteamAppState(full.data(), full.size());
  ASSERT_EQ(whole.stateFlags, 1048580u);
  ASSERT_EQ(whole.buildId, 123456u);
  ASSERT_EQ(whole.targetBuildId, 123457u);
  for (size_t length = 0; length < full.size(); ++length) {
    const SteamAppState cut = ReadSteamAppState(full.data(), length);
    for (auto [part, all] : {std::pair{cut.stateFlags, whole.stateFlags}, std::pair{cut.buildId, whole.buildId},
                             std::pair{cut.targetBuildId, whole.targetBuildId}}) {
      EXPECT_TRUE(!part || part == all) << length;
    }
  }
}

}  // namespace
}  // namespace zrcc
