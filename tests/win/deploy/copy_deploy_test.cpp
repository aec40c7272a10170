// Copying the planned files of the mod package into a game folder through
// the Windows shell.
#include "deploy/copy_deploy.h"

#include <gtest/gtest.h>

#include "win/test_support.h"

namespace zrcc {
namespace {

using test::DirExists;
using test::FileExists;
using test::ListNames;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;
using Names = std::vector<std::wstring>;

// The plan of the package for `target`, copied by the shell: what Copy
// Zandrivell does around its record.
bool CopyModPackage(const std::wstring& package, const std::wstring& target, CopyRefusal* refusal = nullptr) {
  DeploymentPlan plan;
  if (PlanDeployment(package, target, plan)) return false;
  return CopyPlanWithShell(plan, refusal);
}

class CopyDeployTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::wstring package = dir / L"package";
  std::wstring game = dir / L"game\\bin";
};

TEST_F(CopyDeployTest, PackageOfOnlyLicensesCopiesNothingAndTouchesNoTarget) {
  WriteFileBytes(package + L"\\Licenses\\LICENSE.txt", "MIT");
  EXPECT_TRUE(CopyModPackage(package, game));
  EXPECT_FALSE(DirExists(dir / L"game"));
}

TEST_F(CopyDeployTest, CopiesEverythingButTheTopLevelLicensesFolder) {
  WriteFileBytes(package + L"\\ZandRivell.dll", "dll bytes");
  WriteFileBytes(package + L"\\setup_windows.bat", "@echo off\r\n");
  WriteFileBytes(package + L"\\Remove Zandrivell.bat", "@echo off\r\n");
  WriteFileBytes(package + L"\\Licenses\\LICENSE.txt", "MIT");
  WriteFileBytes(package + L"\\shaders\\deep\\a.bin", "AAA");
  WriteFileBytes(package + L"\\shaders\\Licenses\\third.txt", "nested licence");
  WriteFileBytes(game + L"\\game.exe", "MZ");
  ASSERT_TRUE(CopyModPackage(package, game));
  EXPECT_EQ(ListNames(game),
            (Names{L"Remove Zandrivell.bat", L"ZandRivell.dll", L"game.exe", L"setup_windows.bat", L"shaders"}));
  EXPECT_EQ(ReadFileBytes(game + L"\\ZandRivell.dll"), "dll bytes");
  EXPECT_EQ(ReadFileBytes(game + L"\\shaders\\deep\\a.bin"), "AAA");
  EXPECT_EQ(ReadFileBytes(game + L"\\shaders\\Licenses\\third.txt"), "nested licence");
  // The package itself is left as it was.
  EXPECT_TRUE(FileExists(package + L"\\Licenses\\LICENSE.txt"));
  EXPECT_TRUE(FileExists(package + L"\\ZandRivell.dll"));
}

TEST_F(CopyDeployTest, OnlyAFolderNamedExactlyLicensesIsLeftOut) {
  WriteFileBytes(package + L"\\Licenses", "a file, not the licence folder");
  WriteFileBytes(dir / L"package2\\licenses\\x.txt", "lower-case folder");
  ASSERT_TRUE(CopyModPackage(package, game));
  EXPECT_EQ(ReadFileBytes(game + L"\\Licenses"), "a file, not the licence folder");
  const std::wstring other = dir / L"game2";
  ASSERT_TRUE(CopyModPackage(dir / L"package2", other));
  EXPECT_EQ(ListNames(other), Names{L"licenses"});
  EXPECT_EQ(ReadFileBytes(other + L"\\licenses\\x.txt"), "lower-case folder");
}

// Given a missing target and a single source, the shell would copy the
// source under the target's name; the target must be made a folder first.
TEST_F(CopyDeployTest, MissingTargetAndParentsAreCreatedForASingleEntryPackage) {
  WriteFileBytes(package + L"\\ZandRivell.dll", "one file");
  const std::wstring target = dir / L"a\\b\\c";
  ASSERT_TRUE(CopyModPackage(package, target));
  ASSERT_TRUE(DirExists(target));
  EXPECT_EQ(ReadFileBytes(target + L"\\ZandRivell.dll"), "one file");

  WriteFileBytes(dir / L"package2\\data\\x.txt", "in a folder");
  const std::wstring second = dir / L"d\\e";
  ASSERT_TRUE(CopyModPackage(dir / L"package2", second + L"\\"));
  EXPECT_EQ(ListNames(second), Names{L"data"});
  EXPECT_EQ(ReadFileBytes(second + L"\\data\\x.txt"), "in a folder");
}

// The shell cannot copy to or from paths of classic length or more; such a
// copy fails cleanly instead of reaching it.
TEST_F(CopyDeployTest, PathsTooLongForTheShellFailWithoutCopying) {
  WriteFileBytes(package + L"\\ZandRivell.dll", "long");
  std::wstring longFolder = dir.path();
  while (longFolder.size() < 300) longFolder += L"\\a-rather-long-folder-name";
  EXPECT_FALSE(CopyModPackage(package, longFolder));
  EXPECT_FALSE(DirExists(dir / L"a-rather-long-folder-name"));

  WriteFileBytes(longFolder + L"\\pkg\\ZandRivell.dll", "long");
  EXPECT_FALSE(CopyModPackage(longFolder + L"\\pkg", game));
  EXPECT_FALSE(DirExists(dir / L"game"));
}

// Plain paths cannot make folders from 248 characters on, below the classic
// limit the copy keeps to; every path the copy would write must be below it.
TEST_F(CopyDeployTest, TargetOf250CharactersIsCreatedWhenWhatGoesInFits) {
  std::wstring target = dir.path() + L"\\";
  target += std::wstring(250 - target.size(), L't');
  WriteFileBytes(dir / L"short\\z.dll", "dll");
  ASSERT_TRUE(CopyModPackage(dir / L"short", target));
  EXPECT_EQ(ReadFileBytes(target + L"\\z.dll"), "dll");

  // Its files would pass the limit inside the target: refused, not reported
  // as copied while the shell leaves them out.
  WriteFileBytes(package + L"\\sub\\ZandRivell.dll", "dll");
  const std::wstring other = target.substr(0, target.size() - 1) + L"u";
  CopyRefusal refusal;
  EXPECT_FALSE(CopyModPackage(package, other, &refusal));
  EXPECT_FALSE(DirExists(other));
  EXPECT_EQ(refusal.path, other + L"\\sub\\ZandRivell.dll");
}

TEST_F(CopyDeployTest, UnlistablePackageOrUnusableTargetFails) {
  EXPECT_FALSE(CopyModPackage(dir / L"no-such-package", game));
  EXPECT_FALSE(DirExists(dir / L"game"));

  // A file where the target folder should be is not copied over.
  WriteFileBytes(package + L"\\ZandRivell.dll", "dll");
  WriteFileBytes(dir / L"blocked", "a file");
  EXPECT_FALSE(CopyModPackage(package, dir / L"blocked"));
  EXPECT_EQ(ReadFileBytes(dir / L"blocked"), "a file");
}

}  // namespace
}  // namespace zrcc
