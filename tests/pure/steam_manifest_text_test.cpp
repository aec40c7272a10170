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

}  // namespace
}  // namespace zrcc
