// Reading version resources of real PE files: how the mod DLL is told apart
// from look-alikes, and how a game's product name is found.
#include "deploy/version_reader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "win/test_support.h"

namespace zrcc {
namespace {

using test::Fixture;

struct Versions {
  bool matched;
  std::wstring file;
  std::wstring product;
};

// Matches against the mod's name with outputs that start out as "old", so
// an untouched output shows.
Versions Match(const std::wstring& fixture) {
  Versions v{false, L"old file", L"old product"};
  v.matched = MatchProductVersions(Fixture(fixture), L"ZandRivell", v.file, v.product);
  return v;
}

TEST(VersionReader, ReadsTheModDllsVersions) {
  const Versions v = Match(L"zandrivell.dll");
  EXPECT_TRUE(v.matched);
  EXPECT_EQ(v.file, L"1.2.3");
  EXPECT_EQ(v.product, L"build 456");
  EXPECT_EQ(ReadProductName(Fixture(L"zandrivell.dll")), L"ZandRivell");
  // A string table keyed in upper case answers the program's lower-case key.
  const Versions upper = Match(L"ver_upper_case_table.dll");
  EXPECT_TRUE(upper.matched);
  EXPECT_EQ(upper.product, L"upper");
}

TEST(VersionReader, FilesWithoutResourceOrMissingNeverMatchAndKeepTheOutputs) {
  for (const wchar_t* name : {L"plain.dll", L"plain.exe", L"no such file.dll"}) {
    const Versions v = Match(name);
    EXPECT_FALSE(v.matched) << test::Utf8(name);
    EXPECT_EQ(v.file, L"old file");
    EXPECT_EQ(v.product, L"old product");
    EXPECT_EQ(ReadProductName(Fixture(name)), L"") << test::Utf8(name);
  }
}

TEST(VersionReader, NameMustMatchExactlyInCaseAndBlanks) {
  for (const wchar_t* name : {L"ver_lower_case_name.dll", L"ver_trailing_blank.dll"}) {
    const Versions v = Match(name);
    EXPECT_FALSE(v.matched) << test::Utf8(name);
    EXPECT_EQ(v.file, L"old file");
  }
  EXPECT_EQ(ReadProductName(Fixture(L"ver_trailing_blank.dll")), L"ZandRivell ");
}

TEST(VersionReader, VersionsComeFromTheTranslationThatNamesTheMod) {
  const Versions v = Match(L"ver_two_translations.dll");
  EXPECT_TRUE(v.matched);
  EXPECT_EQ(v.file, L"2.0.1");
  EXPECT_EQ(v.product, L"second table");
  // The first non-empty name wins when only reading it.
  EXPECT_EQ(ReadProductName(Fixture(L"ver_two_translations.dll")), L"Another Product");
}

TEST(VersionReader, AnAbsentVersionStringLeavesItsOutputAsItWas) {
  const Versions noFile = Match(L"ver_no_file_version.dll");
  EXPECT_TRUE(noFile.matched);
  EXPECT_EQ(noFile.file, L"old file");
  EXPECT_EQ(noFile.product, L"build 77");
  const Versions noProduct = Match(L"ver_no_product_version.dll");
  EXPECT_TRUE(noProduct.matched);
  EXPECT_EQ(noProduct.file, L"3.1");
  EXPECT_EQ(noProduct.product, L"old product");
}

TEST(VersionReader, OnlyTheNameReaderFallsBackToUsEnglish1252) {
  for (const wchar_t* name : {L"ver_no_translation.dll", L"ver_raw_short_translation.dll"}) {
    const Versions v = Match(name);
    EXPECT_FALSE(v.matched) << test::Utf8(name);
    EXPECT_EQ(v.file, L"old file");
    EXPECT_EQ(ReadProductName(Fixture(name)), L"ZandRivell") << test::Utf8(name);
  }
}

TEST(VersionReader, NameReaderSkipsAnEmptyFirstName) {
  EXPECT_EQ(ReadProductName(Fixture(L"ver_raw_empty_first_name.dll")), L"Second Game");
}

// Resource compilers store an empty string with its terminating NUL, so its
// reported length is 1, not 0: it is still no name.
TEST(VersionReader, NameReaderSkipsAnEmptyFirstNameStoredWithItsNul) {
  EXPECT_EQ(ReadProductName(Fixture(L"ver_empty_first_name.dll")), L"Second Game");
}

// The fixed version, which decides "outdated", is the one the system's own
// version API reports.
TEST(VersionReader, FixedVersionIsTheOneTheSystemReports) {
  for (const wchar_t* name : {L"mod_062.dll", L"mod_080.dll", L"zandrivell.dll", L"ver_two_translations.dll",
                              L"plain.dll"}) {
    const std::wstring file = Fixture(name);
    std::optional<FileVersionNumbers> expected;
    std::vector<uint8_t> data(GetFileVersionInfoSizeW(file.c_str(), nullptr));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!data.empty() && GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) &&
        VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && length >= sizeof *fixed) {
      expected = FileVersionNumbers{{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                     HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)}};
    }
    EXPECT_EQ(ReadFixedFileVersion(file), expected) << test::Utf8(name);
  }
  EXPECT_TRUE(IsOlderVersion(ReadFixedFileVersion(Fixture(L"mod_062.dll")), ReadFixedFileVersion(Fixture(L"mod_080.dll"))));
}

TEST(VersionReader, ReadsFilesBehindLongPaths) {
  test::TempDir dir;
  std::wstring folder = dir.path();
  while (folder.size() < 300) folder += L"\\a-rather-long-folder-name";
  const std::wstring file = folder + L"\\mod.dll";
  test::WriteFileBytes(file, test::ReadFileBytes(Fixture(L"zandrivell.dll")));
  std::wstring fileVersion, productVersion;
  EXPECT_TRUE(MatchProductVersions(file, L"ZandRivell", fileVersion, productVersion));
  EXPECT_EQ(fileVersion, L"1.2.3");
  EXPECT_EQ(ReadProductName(file), L"ZandRivell");
}

}  // namespace
}  // namespace zrcc
