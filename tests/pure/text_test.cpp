#include "core/paths.h"
#include "core/text.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

std::wstring Units(std::initializer_list<unsigned> units) {
  std::wstring s;
  for (unsigned u : units) s.push_back(static_cast<wchar_t>(u));
  return s;
}

std::string Utf8Of(const wchar_t* text) { return EncodeUtf8(text); }

TEST(Text, LowerKeyFoldsAtoZOnly) {
  EXPECT_EQ(LowerKey(L"C:\\Games\\FOO/Bar 7"), L"c:\\games\\foo/bar 7");
  EXPECT_EQ(LowerKey(Units({0xC9, 0x41})), Units({0xC9, 0x61}));
}

TEST(Text, TrimBlanksRemovesSpaceTabCrLfAtBothEnds) {
  EXPECT_EQ(TrimBlanks(L" \t\r\n a b \r\n\t "), L"a b");
  EXPECT_EQ(TrimBlanks(L" \t "), L"");
}

TEST(Text, StrictDecoderAcceptsValidTextIncludingNonBmp) {
  std::wstring out;
  ASSERT_TRUE(DecodeUtf8Strict("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xAE", out));
  EXPECT_EQ(out, Units({0x41, 0xE9, 0x20AC, 0xD83C, 0xDFAE}));
  ASSERT_TRUE(DecodeUtf8Strict(std::string("a\0b", 3), out));
  EXPECT_EQ(out.size(), 3u);
  ASSERT_TRUE(DecodeUtf8Strict("\xEF\xBF\xBF\xF4\x8F\xBF\xBF", out));  // U+FFFF, U+10FFFF
  EXPECT_EQ(out, Units({0xFFFF, 0xDBFF, 0xDFFF}));
}

TEST(Text, StrictDecoderRejectsEveryInvalidSequence) {
  const char* invalid[] = {
      "\xC0\xAF",          // overlong "/"
      "\xE0\x80\xAF",      // overlong, three bytes
      "\xF0\x80\x80\xAF",  // overlong, four bytes
      "\xED\xA0\x80",      // high surrogate
      "\xED\xBF\xBF",      // low surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xF5\x80\x80\x80",  // lead byte beyond the range
      "\xC3",              // truncated
      "a\xE2\x82",         // truncated at the end
      "\x80",              // stray continuation
      "\xFF",              // never valid
      "\xC3\x28",          // bad continuation
  };
  for (const char* bytes : invalid) {
    std::wstring out = L"x";
    EXPECT_FALSE(DecodeUtf8Strict(bytes, out)) << bytes;
    EXPECT_TRUE(out.empty());
  }
}

TEST(Text, LenientDecoderReplacesInvalidBytes) {
  EXPECT_EQ(DecodeUtf8Lenient("a\xFF" "b"), Units({0x61, 0xFFFD, 0x62}));
}

TEST(Text, EncoderRoundTripsAndReplacesUnpairedSurrogates) {
  const std::wstring text = Units({0x41, 0xE9, 0x20AC, 0xD83C, 0xDFAE});
  std::wstring back;
  ASSERT_TRUE(DecodeUtf8Strict(EncodeUtf8(text), back));
  EXPECT_EQ(back, text);
  EXPECT_EQ(EncodeUtf8(Units({0xD800, 0x41})), "\xEF\xBF\xBD" "A");
  EXPECT_EQ(EncodeUtf8(Units({0x41, 0xDC00})), "A\xEF\xBF\xBD");
}

TEST(Paths, JoinAndLastComponent) {
  EXPECT_EQ(JoinPath(L"D:\\Games", L"Foo"), L"D:\\Games\\Foo");
  EXPECT_EQ(JoinPath(L"D:\\", L"Foo"), L"D:\\Foo");
  EXPECT_EQ(JoinPath(L"D:/x/", L"Foo"), L"D:/x/Foo");
  EXPECT_EQ(JoinPath(L"", L"Foo"), L"Foo");
  EXPECT_EQ(LastComponent(L"D:\\Games\\Foo"), L"Foo");
  EXPECT_EQ(LastComponent(L"D:\\"), L"");
  EXPECT_EQ(LastComponent(L"Foo"), L"Foo");
}

TEST(Paths, ExtendedLengthFormOnlyForLongAbsolutePaths) {
  EXPECT_EQ(ExtendedLengthPath(L"C:\\short"), L"C:\\short");
  const std::wstring deep = L"C:\\" + std::wstring(300, L'a') + L"/b";
  EXPECT_EQ(ExtendedLengthPath(deep), L"\\\\?\\C:\\" + std::wstring(300, L'a') + L"\\b");
  const std::wstring unc = L"\\\\server\\share\\" + std::wstring(300, L'a');
  EXPECT_EQ(ExtendedLengthPath(unc), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'a'));
  const std::wstring already = L"\\\\?\\C:\\" + std::wstring(300, L'a');
  EXPECT_EQ(ExtendedLengthPath(already), already);
  const std::wstring relative = std::wstring(300, L'a');
  EXPECT_EQ(ExtendedLengthPath(relative), relative);
}

// A network path is exactly one whose long form is the UNC one, and the long
// form of a path is on the network exactly when the path is.
TEST(Paths, NetworkPathsAreThoseWithTheUncLongForm) {
  const std::wstring tail = L"\\" + std::wstring(300, L'g');
  for (const wchar_t* start : {L"\\\\server\\share", L"//server/share", L"C:\\Games", L"C:/Games",
                               L"\\\\?\\C:\\Games", L"\\\\.\\C:", L"Games", L"\\Games"}) {
    const std::wstring longForm = ExtendedLengthPath(start + tail);
    const bool uncForm = longForm.rfind(L"\\\\?\\UNC\\", 0) == 0;
    EXPECT_EQ(IsNetworkPath(start), uncForm);
    EXPECT_EQ(IsNetworkPath(longForm), uncForm);
  }
  EXPECT_TRUE(IsNetworkPath(L"\\\\?\\unc\\server\\share"));
}

// The limit decides from which length a path takes the long form, for drive
// paths and network paths alike; the plain spelling comes back unchanged.
TEST(Paths, LongFormFromTheLimitOnForDrivesAndShares) {
  for (const size_t limit : {kClassicPathLimit, kNewFolderPathLimit}) {
    for (const std::wstring root : {L"D:\\", L"\\\\server\\share\\"}) {
      const std::wstring below = root + std::wstring(limit - 1 - root.size(), L'x');
      const std::wstring at = below + L"x";
      EXPECT_EQ(ExtendedLengthPath(below, limit), below);
      const std::wstring longForm = ExtendedLengthPath(at, limit);
      EXPECT_EQ(longForm.substr(0, root[0] == L'D' ? 4 : 8), root[0] == L'D' ? L"\\\\?\\" : L"\\\\?\\UNC\\");
      EXPECT_EQ(PlainPath(longForm), at);
      EXPECT_EQ(ExtendedLengthPath(longForm, limit), longForm);
    }
  }
  EXPECT_EQ(PlainPath(L"D:\\x"), L"D:\\x");
}

// The long form is taken literally, so it must already mean what the plain
// path meant.
TEST(Paths, LongFormResolvesDotsAndSeparatorsButNeverClimbsAboveTheRoot) {
  const std::wstring a(300, L'a');
  EXPECT_EQ(ExtendedLengthPath(L"C:\\" + a + L"\\.\\b\\..\\c//d\\"), L"\\\\?\\C:\\" + a + L"\\c\\d\\");
  EXPECT_EQ(ExtendedLengthPath(L"C:\\..\\..\\" + a), L"\\\\?\\C:\\" + a);
  EXPECT_EQ(ExtendedLengthPath(L"\\\\srv\\share\\..\\" + a), L"\\\\?\\UNC\\srv\\share\\" + a);
}

TEST(Paths, DeviceNamesTakeTheLongFormAtAnyLength) {
  for (const wchar_t* name : {L"COM1.exe", L"aux.dll", L"nul.txt", L"NUL", L"con", L"Lpt9.x.y", L"prn .ini",
                              L"com\u00B9", L"CONOUT$", L"nul:stream"}) {
    EXPECT_TRUE(IsDeviceName(name)) << Utf8Of(name);
    const std::wstring path = std::wstring(L"D:\\Games\\") + name;
    EXPECT_EQ(ExtendedLengthPath(path), L"\\\\?\\" + path);
    EXPECT_EQ(ExtendedLengthPath(path + L"\\"), L"\\\\?\\" + path + L"\\");
  }
  for (const wchar_t* name : {L"COM10.exe", L"console.dll", L"nully", L"LPT", L"xnul", L"COMA", L"aux_", L""}) {
    EXPECT_FALSE(IsDeviceName(name)) << Utf8Of(name);
  }
  // Only the last component counts: a folder of that name on the way is fine.
  EXPECT_EQ(ExtendedLengthPath(L"D:\\nul\\*"), L"D:\\nul\\*");
}

// The executable folder the user picks must lie in the game folder; the
// picker and the list may spell one folder differently.
// A message never names a folder with a stray separator, however it was
// joined; a root keeps its own.
TEST(Paths, FoldersForMessagesLoseTheirTrailingSeparator) {
  for (const std::wstring folder : {L"D:\\Games\\Halcyon", L"\\\\server\\share\\G"}) {
    for (const std::wstring& spelling : {folder, folder + L"\\", folder + L"\\\\", ExtendedLengthPath(folder, 0) + L"\\"}) {
      EXPECT_EQ(FolderForDisplay(spelling), folder) << testing::PrintToString(spelling);
    }
  }
  EXPECT_EQ(FolderForDisplay(L"D:\\"), L"D:\\");
}

TEST(Paths, FolderBelowNamesTheWayDownOrNothing) {
  EXPECT_EQ(FolderBelow(L"D:\\Games\\Foo", L"D:\\Games\\Foo\\bin\\x64"), L"bin\\x64");
  EXPECT_EQ(FolderBelow(L"d:/games/foo/", L"D:\\GAMES\\Foo\\.\\Bin\\..\\Bin\\"), L"Bin");
  EXPECT_EQ(FolderBelow(L"D:\\Games\\Foo", L"\\\\?\\D:\\Games\\Foo"), L"");
  EXPECT_EQ(FolderBelow(L"D:\\", L"D:\\Foo"), L"Foo");
  EXPECT_EQ(FolderBelow(L"\\\\srv\\share\\Foo", L"\\\\?\\UNC\\srv\\share\\foo\\bin"), L"bin");
  const std::wstring deep = L"D:\\" + std::wstring(300, L'a');
  EXPECT_EQ(FolderBelow(deep, deep + L"\\b"), L"b");
  for (const wchar_t* elsewhere : {L"D:\\Games\\Foobar", L"D:\\Games", L"E:\\Games\\Foo\\bin",
                                   L"D:\\Games\\Foo\\..\\Bar", L"\\\\srv\\Games\\Foo", L"bin", L""}) {
    EXPECT_EQ(FolderBelow(L"D:\\Games\\Foo", elsewhere), std::nullopt) << Utf8Of(elsewhere);
  }
}

}  // namespace
}  // namespace zrcc
