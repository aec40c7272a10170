// Measuring game folders on a real (Wine) file system: long paths, files the
// program cannot open, and folder links that lead back into the tree or to
// folders reached already.
#include "deploy/folder_size.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "deploy/exe_detection.h"
#include "platform/win_handles.h"
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
  ASSERT_TRUE(test::ExtendSparse(dir / L"big.pak", (5ull << 30) + 17));
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

TEST(FolderSize, FollowsFolderLinksButCountsEveryFolderOnce) {
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
  // alias is data again, loop and self lead back to folders already counted.
  EXPECT_EQ(MeasureFolderSize(game), 5u + 7u);
  // From below or through the link, the same two folders.
  EXPECT_EQ(MeasureFolderSize(game + L"\\data"), 7u + 5u);
  EXPECT_EQ(MeasureFolderSize(game + L"\\alias\\"), 7u + 5u);
}

// Two links on every level to the next level, beside that level's plain
// folder: 3^24 paths lead through 25 folders. Each folder is entered once, by
// the size walk and by the single walk of the executable search alike, and
// its file is found under its plain path.
TEST(FolderSize, LinkMazeEntersEveryFolderOnce) {
  TempDir dir;
  constexpr int kLevels = 24;
  std::wstring level = dir / L"maze";
  std::vector<std::unique_ptr<test::FolderLink>> links;
  uint64_t expected = 0;
  std::vector<std::wstring> files;
  for (int i = 0; i <= kLevels; ++i) {
    files.push_back(level + L"\\f" + std::to_wstring(i) + L".exe");
    WriteFileBytes(files.back(), std::string(static_cast<size_t>(i) + 1, 'x'));
    expected += static_cast<uint64_t>(i) + 1;
    if (i == kLevels) break;
    const std::wstring next = L"L" + std::to_wstring(i + 1);
    test::MakeDirs(level + L"\\" + next);
    for (const wchar_t* name : {L"a", L"b"}) {
      links.push_back(std::make_unique<test::FolderLink>(level + L"\\" + name, next));
      if (!links.back()->ok()) GTEST_SKIP() << "folder links cannot be made here";
    }
    level += L"\\" + next;
  }
  EXPECT_EQ(MeasureFolderSize(dir / L"maze"), expected);
  std::vector<ExecutableCandidate> found;
  EXPECT_EQ(CollectExecutablesAndMeasure(dir / L"maze", found), expected);
  std::vector<std::wstring> paths;
  for (const ExecutableCandidate& c : found) paths.push_back(CandidateFullPath(c));
  std::sort(paths.begin(), paths.end());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(paths, files);
}

}  // namespace
}  // namespace zrcc
