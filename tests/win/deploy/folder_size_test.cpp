// Measuring game folders on a real (Wine) file system: long paths, files the
// program cannot open, and folder links that lead back into the tree.
#include "deploy/folder_size.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include "helpers/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;
using test::WriteFileBytes;

TEST(FolderSize, SumsEveryFileBelowTheFolder) {
  TempDir dir;
  WriteFileBytes(dir / L"game\\a.bin", "12345");
  WriteFileBytes(dir / L"game\\sub\\b.bin", "1234567");
  WriteFileBytes(dir / L"game\\sub\\deeper\\.hidden", "12");
  test::MakeDirs(dir / L"game\\empty");
  EXPECT_EQ(MeasureFolderSize(dir / L"game"), 14u);
  EXPECT_EQ(MeasureFolderSize(dir / L"game\\"), 14u);
  EXPECT_EQ(MeasureFolderSize(dir / L"game\\empty"), 0u);
  EXPECT_EQ(MeasureFolderSize(dir / L"missing"), 0u);
  EXPECT_EQ(MeasureFolderSize(dir / L"game\\a.bin"), 0u);
  EXPECT_EQ(MeasureFolderSize(L""), 0u);
}

TEST(FolderSize, CountsFilesItCannotOpenAndFilesBeyondFourGigabytes) {
  TempDir dir;
  WriteFileBytes(dir / L"locked.bin", "123");
  UniqueHandle locked(CreateFileW((dir / L"locked.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(locked);
  // A sparse file: its size comes from the listing, nothing is read.
  {
    UniqueHandle big(CreateFileW((dir / L"big.pak").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(big);
    DWORD ignored = 0;
    DeviceIoControl(big.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = (5LL << 30) + 17;
    ASSERT_TRUE(SetFilePointerEx(big.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(big.get()));
  }
  EXPECT_EQ(MeasureFolderSize(dir.path()), (5ull << 30) + 17 + 3);
}

TEST(FolderSize, MeasuresTreesDeeperThanTheClassicPathLimit) {
  TempDir dir;
  std::wstring deep = dir / L"game";
  uint64_t expected = 0;
  int level = 0;
  while (deep.size() < 600) {
    deep += L"\\level-" + std::to_wstring(++level) + L"-with-a-long-name";
    WriteFileBytes(deep + L"\\data.bin", std::string(static_cast<size_t>(level), 'x'));
    expected += static_cast<uint64_t>(level);
  }
  ASSERT_TRUE(test::FileExists(deep + L"\\data.bin"));
  EXPECT_EQ(MeasureFolderSize(dir / L"game"), expected);
  // Starting below the limit's reach works the same.
  EXPECT_EQ(MeasureFolderSize(deep), static_cast<uint64_t>(level));
}

TEST(FolderSize, FollowsFolderLinksButNeverBackIntoItsOwnPath) {
  TempDir dir;
  const std::wstring game = dir / L"game";
  WriteFileBytes(game + L"\\a.bin", "12345");
  WriteFileBytes(game + L"\\data\\b.bin", "1234567");
  test::FolderLink toGame(game + L"\\data\\loop", L"..");
  test::FolderLink toItself(game + L"\\data\\self", L".");
  test::FolderLink alias(game + L"\\alias", L"data");
  if (!toGame.ok() || !toItself.ok() || !alias.ok()) GTEST_SKIP() << "folder links cannot be made here";
  ASSERT_TRUE(test::FileExists(game + L"\\alias\\b.bin"));
  ASSERT_TRUE(test::FileExists(game + L"\\data\\loop\\a.bin"));
  // data\b.bin is counted again through alias; loop and self lead back to
  // folders the walk is inside and add nothing.
  EXPECT_EQ(MeasureFolderSize(game), 5u + 7u + 7u);
  // From below, loop reaches game once; game's way back down to data is cut.
  EXPECT_EQ(MeasureFolderSize(game + L"\\data"), 7u + 5u);
  EXPECT_EQ(MeasureFolderSize(game + L"\\alias\\"), 7u + 5u);
}

}  // namespace
}  // namespace zrcc
