// The mod's state in real game folders, and the check of a package folder.
// The mod DLL is copied under names such as proxy.dll rather than dxgi.dll:
// under Wine a system DLL's name reads the version resource of Wine's own
// built-in copy instead of the file.
#include "deploy/mod_state.h"

#include <gtest/gtest.h>

#include "core/mod_rules.h"
#include "ui/package.h"
#include "platform/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

std::string FixtureBytes(const std::wstring& name) {
  return test::ReadFileBytes(test::Fixture(name));
}

class ModStateTest : public ::testing::Test {
 protected:
  // A game at <temp>\game whose executable folder is bin.
  ModStateTest() {
    game.path = dir / L"game";
    game.exeFolder = L"bin";
    test::MakeDirs(bin());
  }
  std::wstring bin() const { return dir / L"game\\bin"; }
  void Put(const std::wstring& name, const std::wstring& fixture) {
    test::WriteFileBytes(bin() + L"\\" + name, FixtureBytes(fixture));
  }
  // Detects from a game whose fields hold leftovers of an earlier refresh.
  ModState Detect() {
    game.modVersion = L"stale";
    game.buildVersion = L"stale";
    game.modState = ModState::Installed;
    DetectModState(game);
    return game.modState;
  }
  test::TempDir dir;
  Game game;
};

TEST_F(ModStateTest, ModDllUnderAnotherNameIsInstalled) {
  Put(L"proxy.dll", L"zandrivell.dll");
  Put(L"other.dll", L"plain.dll");
  EXPECT_EQ(Detect(), ModState::Installed);
  EXPECT_EQ(game.modVersion, L"1.2.3");
  EXPECT_EQ(game.buildVersion, L"build 456");
}

TEST_F(ModStateTest, AnythingNamedZandrivellDllMakesItCopied) {
  Put(L"proxy.dll", L"zandrivell.dll");
  Put(L"ZandRivell.dll", L"zandrivell.dll");
  EXPECT_EQ(Detect(), ModState::Copied);
  EXPECT_EQ(game.modVersion, L"1.2.3");

  test::TempDir other;
  game.path = other.path();
  game.exeFolder.clear();
  test::WriteFileBytes(other / L"ZANDRIVELL.DLL", FixtureBytes(L"zandrivell.dll"));
  EXPECT_EQ(Detect(), ModState::Copied);

  // A directory of that name beside the mod DLL counts too.
  test::TempDir third;
  game.path = third.path() + L"\\";
  test::WriteFileBytes(third / L"proxy.dll", FixtureBytes(L"zandrivell.dll"));
  test::MakeDirs(third / L"zandrivell.dll");
  EXPECT_EQ(Detect(), ModState::Copied);
  EXPECT_EQ(game.buildVersion, L"build 456");
}

TEST_F(ModStateTest, PlainNameWithAnotherProductIsNotTheMod) {
  Put(L"zandrivell.dll", L"ver_lower_case_name.dll");
  Put(L"plain.dll", L"plain.dll");
  EXPECT_EQ(Detect(), ModState::None);
  EXPECT_EQ(game.modVersion, L"");
  EXPECT_EQ(game.buildVersion, L"");
}

TEST_F(ModStateTest, ModDllWithoutFileVersionIsNoneButKeepsItsBuild) {
  Put(L"proxy.dll", L"ver_no_file_version.dll");
  EXPECT_EQ(Detect(), ModState::None);
  EXPECT_EQ(game.modVersion, L"");
  EXPECT_EQ(game.buildVersion, L"build 77");
}

TEST_F(ModStateTest, OnlyFilesEndingInDllAreExamined) {
  Put(L"mod.DLL", L"zandrivell.dll");
  EXPECT_EQ(Detect(), ModState::Installed);

  test::RemoveTree(bin() + L"\\mod.DLL");
  Put(L".dll", L"zandrivell.dll");
  EXPECT_EQ(Detect(), ModState::Installed);

  test::RemoveTree(bin() + L"\\.dll");
  Put(L"mod.dll.bak", L"zandrivell.dll");
  Put(L"x.dll\\inner.dll", L"zandrivell.dll");  // a folder named x.dll, not searched
  EXPECT_EQ(Detect(), ModState::None);
  EXPECT_EQ(game.modVersion, L"");
}

TEST_F(ModStateTest, MissingOrEmptyExeFolderIsNone) {
  EXPECT_EQ(Detect(), ModState::None);
  game.exeFolder = L"gone";
  EXPECT_EQ(Detect(), ModState::None);
  EXPECT_EQ(game.modVersion, L"");
  EXPECT_EQ(game.buildVersion, L"");
  game.path.clear();
  game.exeFolder.clear();
  EXPECT_EQ(Detect(), ModState::None);
}

TEST_F(ModStateTest, ExeFolderWithoutSubfolderIsTheGameFolderItself) {
  test::WriteFileBytes(dir / L"game\\proxy.dll", FixtureBytes(L"zandrivell.dll"));
  game.exeFolder.clear();
  EXPECT_EQ(Detect(), ModState::Installed);
  game.path += L"\\";
  EXPECT_EQ(Detect(), ModState::Installed);
}

TEST_F(ModStateTest, UnreadableDllDoesNotStopTheSearch) {
  Put(L"a.dll", L"zandrivell.dll");
  Put(L"b.dll", L"plain.dll");
  Put(L"c.dll", L"zandrivell.dll");
  // b.dll held open with no sharing: it cannot be read while the search runs.
  UniqueHandle locked(CreateFileW((bin() + L"\\b.dll").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(locked);
  EXPECT_EQ(Detect(), ModState::Installed);
  EXPECT_EQ(game.modVersion, L"1.2.3");
}

TEST_F(ModStateTest, WorksInFoldersBehindLongPaths) {
  std::wstring deep = L"bin";
  while (game.path.size() + deep.size() < 300) deep += L"\\a-long-folder-name";
  game.exeFolder = deep;
  Put(deep.substr(4) + L"\\proxy.dll", L"zandrivell.dll");
  EXPECT_EQ(Detect(), ModState::Installed);
  Put(deep.substr(4) + L"\\ZandRivell.dll", L"zandrivell.dll");
  EXPECT_EQ(Detect(), ModState::Copied);
}

class CheckModFolderTest : public ::testing::Test {
 protected:
  // The package the window showed before: a usable one.
  void SetUp() override {
    test::WriteFileBytes(previous / L"ZandRivell.dll", FixtureBytes(L"zandrivell.dll"));
    package.Restore(previous.path());
    ASSERT_TRUE(package.set());
  }
  std::wstring PathFieldText(HWND field) const {
    wchar_t text[64] = {};
    GetWindowTextW(field, text, 64);
    return text;
  }
  void ExpectRejected(const std::wstring& folder) {
    EXPECT_FALSE(CheckModFolder(folder)) << test::Utf8(folder);
    const HWND field = CreateWindowExW(0, L"EDIT", L"C:\\package", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                       nullptr);
    ASSERT_NE(field, nullptr);
    package.SetControls(field, nullptr, nullptr);
    package.Restore(folder);
    EXPECT_EQ(PathFieldText(field), L"No path set");
    EXPECT_EQ(package.version(), L"1.2.3") << "a rejected folder leaves the versions shown";
    EXPECT_EQ(package.build(), L"build 456");
    package.SetControls(nullptr, nullptr, nullptr);
    DestroyWindow(field);
  }
  test::TempDir dir;
  test::TempDir previous;
  Package package;
};

TEST_F(CheckModFolderTest, AcceptsAPackageAndShowsItsVersions) {
  test::WriteFileBytes(dir / L"ZandRivell.dll", FixtureBytes(L"zandrivell.dll"));
  std::optional<PackageInfo> info = CheckModFolder(dir.path());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->version, L"1.2.3");
  EXPECT_EQ(info->build, L"build 456");
  info = CheckModFolder(dir.path() + L"\\");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->version, L"1.2.3");
}

TEST_F(CheckModFolderTest, MissingProductVersionGivesAnEmptyBuild) {
  test::WriteFileBytes(dir / L"ZandRivell.dll", FixtureBytes(L"ver_no_product_version.dll"));
  const std::optional<PackageInfo> info = CheckModFolder(dir.path());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->version, L"3.1");
  EXPECT_EQ(info->build, L"");
}

TEST_F(CheckModFolderTest, RejectsFoldersWithoutThePackageDll) {
  ExpectRejected(L"");
  ExpectRejected(dir / L"missing");
  ExpectRejected(dir.path());  // empty folder
  test::WriteFileBytes(dir / L"proxy.dll", FixtureBytes(L"zandrivell.dll"));
  ExpectRejected(dir.path());  // the mod, but not under the package name
  test::WriteFileBytes(dir / L"ZandRivell.dll", FixtureBytes(L"ver_lower_case_name.dll"));
  ExpectRejected(dir.path());
  test::TempDir withFolder;
  test::MakeDirs(withFolder / L"ZandRivell.dll");
  ExpectRejected(withFolder.path());
}

TEST_F(CheckModFolderTest, RejectionWithoutAWindowOnlyLeavesTheTexts) {
  package.Restore(dir.path());
  EXPECT_FALSE(package.set());
  EXPECT_EQ(package.version(), L"1.2.3");
}

TEST_F(CheckModFolderTest, AcceptsAPackageBehindALongPath) {
  std::wstring folder = dir.path();
  while (folder.size() < 290) folder += L"\\a-long-package-folder";
  test::WriteFileBytes(folder + L"\\ZandRivell.dll", FixtureBytes(L"zandrivell.dll"));
  const std::optional<PackageInfo> info = CheckModFolder(folder);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->build, L"build 456");
}

}  // namespace
}  // namespace zrcc
