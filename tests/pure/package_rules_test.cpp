#include "core/package_rules.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

using Names = std::vector<std::wstring>;

TEST(PackageRules, OnlyTheTopLevelLicensesFolderIsLeftOut) {
  const std::vector<PackageEntry> listing = {
      {L".", true},          {L"..", true},           {L"ZandRivell.dll", false}, {L"Licenses", true},
      {L"shaders", true},    {L"setup_windows.bat", false},
  };
  EXPECT_EQ(PackageEntriesToCopy(listing), (Names{L"ZandRivell.dll", L"shaders", L"setup_windows.bat"}));
}

TEST(PackageRules, LicensesMatchIsExactAndOnlyForFolders) {
  EXPECT_EQ(PackageEntriesToCopy({{L"Licenses", false}}), Names{L"Licenses"});
  EXPECT_EQ(PackageEntriesToCopy({{L"licenses", true}, {L"LICENSES", true}, {L"Licenses ", true}}),
            (Names{L"licenses", L"LICENSES", L"Licenses "}));
  EXPECT_TRUE(PackageEntriesToCopy({{L".", true}, {L"..", true}, {L"Licenses", true}}).empty());
  // Names that merely start with dots are ordinary entries.
  EXPECT_EQ(PackageEntriesToCopy({{L"...", false}, {L".config", true}}), (Names{L"...", L".config"}));
}

TEST(PackageRules, DoubleNulListEndsEveryItemAndTheList) {
  const std::wstring list = DoubleNulList({L"C:\\a", L"C:\\b c"});
  EXPECT_EQ(list, std::wstring(L"C:\\a\0C:\\b c\0\0", 13));
  EXPECT_EQ(DoubleNulList({L"T"}), std::wstring(L"T\0\0", 3));
  EXPECT_EQ(DoubleNulList({}), std::wstring(1, L'\0'));
}

}  // namespace
}  // namespace zrcc
