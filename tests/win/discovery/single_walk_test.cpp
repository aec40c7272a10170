// The one walk that both finds a game's executables and sums its size must
// give exactly what the two separate walks give: the same candidates in the
// same depth-first order, and the same byte count. Held here against plain
// recursive walks over trees with folder links, hidden entries and paths far
// beyond the classic limit.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>

#include "core/paths.h"
#include "deploy/exe_detection.h"
#include "deploy/folder_size.h"
#include "platform/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

// The plain recursive walks: executables skip every link, sizes follow
// folder links but count each folder once.
void ReferenceExecutables(const std::wstring& folder, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW data{};
  FindHandle find(FindFirstFileW(ExtendedLengthPath(JoinPath(folder, L"*")).c_str(), &data));
  if (!find) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L".." || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ReferenceExecutables(JoinPath(folder, name), out);
    else if (IsExeName(name)) out.push_back(JoinPath(folder, name));
  } while (FindNextFileW(find.get(), &data));
}

// The path the system resolves a folder to, links followed: the reference's
// own way of telling folders apart.
std::wstring ResolvedFolder(const std::wstring& folder) {
  UniqueHandle dir(CreateFileW(ExtendedLengthPath(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  std::wstring path(32768, L'\0');
  const DWORD length = dir ? GetFinalPathNameByHandleW(dir.get(), path.data(), static_cast<DWORD>(path.size()), 0) : 0;
  if (length == 0 || length >= path.size()) return L"unresolved:" + folder;
  path.resize(length);
  return path;
}

uint64_t ReferenceSize(const std::wstring& folder, std::set<std::wstring>& seen) {
  if (!seen.insert(ResolvedFolder(folder)).second) return 0;  // every folder counts once
  WIN32_FIND_DATAW data{};
  FindHandle find(FindFirstFileW(ExtendedLengthPath(JoinPath(folder, L"*")).c_str(), &data));
  if (!find) return 0;
  uint64_t sum = 0;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) sum += ReferenceSize(JoinPath(folder, name), seen);
    else sum += (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  } while (FindNextFileW(find.get(), &data));
  return sum;
}

uint64_t ReferenceSize(const std::wstring& folder) {
  std::set<std::wstring> seen;
  return ReferenceSize(folder, seen);
}

void PutExe(const std::wstring& path, const std::wstring& fixture = L"plain.exe") {
  const std::string bytes = test::ReadFileBytes(test::Fixture(fixture));
  ASSERT_FALSE(bytes.empty());
  test::WriteFileBytes(path, bytes);
}

std::vector<std::wstring> FullPaths(const std::vector<ExecutableCandidate>& list) {
  std::vector<std::wstring> paths;
  for (const auto& c : list) paths.push_back(CandidateFullPath(c));
  return paths;
}

// The one walk against both references, and the size walk alone against the
// size reference.
void ExpectOneWalkEqualsTwo(const std::wstring& game) {
  std::vector<ExecutableCandidate> combined;
  const uint64_t size = CollectExecutablesAndMeasure(game, combined);
  std::vector<std::wstring> expected;
  ReferenceExecutables(game, expected);
  EXPECT_EQ(FullPaths(combined), expected);
  EXPECT_EQ(size, ReferenceSize(game));
  EXPECT_EQ(MeasureFolderSize(game), ReferenceSize(game));
}

TEST(SingleWalk, SameCandidatesAndSizeWithLinksAndHiddenEntries) {
  TempDir dir;
  const std::wstring game = dir / L"Halcyon";
  PutExe(game + L"\\unins000.exe", L"disc_halcyon.exe");
  PutExe(game + L"\\x64\\Halcyon.exe");
  PutExe(game + L"\\data\\tools\\editor.EXE");
  PutExe(game + L"\\h\\hidden.exe");
  test::WriteFileBytes(game + L"\\data\\pack.bin", std::string(1000, 'p'));
  test::WriteFileBytes(game + L"\\data\\tools\\notes.txt", "12345");
  test::WriteFileBytes(game + L"\\h\\secret.bin", "1234567");
  test::MakeDirs(game + L"\\empty\\deeper");
  SetFileAttributesW((game + L"\\h\\hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesW((game + L"\\h").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  ExpectOneWalkEqualsTwo(game);
  ExpectOneWalkEqualsTwo(game + L"\\");
  ExpectOneWalkEqualsTwo(dir / L"missing");

  // A link to a folder of the tree: its files still count once for the size;
  // its executables are taken only where links are not marked as such.
  test::FolderLink alias(game + L"\\alias", L"data");
  if (!alias.ok()) GTEST_SKIP() << "folder links cannot be made here";
  ExpectOneWalkEqualsTwo(game);
  EXPECT_EQ(MeasureFolderSize(game), ReferenceSize(game));
}

TEST(SingleWalk, LinksBackUpTheTreeEndBothSearches) {
  TempDir dir;
  const std::wstring game = dir / L"Loop";
  PutExe(game + L"\\Loop.exe");
  PutExe(game + L"\\data\\tool.exe");
  test::WriteFileBytes(game + L"\\data\\b.bin", "1234567");
  test::FolderLink up(game + L"\\data\\up", L"..");
  test::FolderLink self(game + L"\\data\\self", L".");
  if (!up.ok() || !self.ok()) GTEST_SKIP() << "folder links cannot be made here";
  std::vector<ExecutableCandidate> list;
  const uint64_t size = CollectExecutablesAndMeasure(game, list);
  EXPECT_EQ(size, MeasureFolderSize(game));
  std::vector<std::wstring> found = FullPaths(list);
  std::sort(found.begin(), found.end());
  // A link back into the walk's own path is searched neither for executables
  // nor for the size.
  EXPECT_EQ(found, (std::vector<std::wstring>{game + L"\\Loop.exe", game + L"\\data\\tool.exe"}));
}

TEST(SingleWalk, SameResultFarBeyondTheClassicPathLimit) {
  TempDir dir;
  std::wstring deep = dir / L"Deep Game";
  int level = 0;
  while (deep.size() < 700) {
    deep += L"\\level-" + std::to_wstring(++level) + L"-with-a-long-name";
    test::WriteFileBytes(deep + L"\\data.bin", std::string(static_cast<size_t>(level), 'x'));
    if (level % 4 == 0) PutExe(deep + L"\\tool" + std::to_wstring(level) + L".exe");
  }
  PutExe(deep + L"\\DeepGame.exe");
  ExpectOneWalkEqualsTwo(dir / L"Deep Game");
  std::vector<ExecutableCandidate> list;
  CollectExecutablesAndMeasure(dir / L"Deep Game", list);
  EXPECT_TRUE(std::any_of(list.begin(), list.end(), [](const ExecutableCandidate& c) {
    return c.fileName == L"DeepGame.exe" && CandidateFullPath(c).size() > 700;
  }));
}

}  // namespace
}  // namespace zrcc
