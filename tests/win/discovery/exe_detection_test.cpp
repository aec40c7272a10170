// Executable detection on real folder trees: the walk's order and what it
// skips, the choice among candidates, the warning for an empty game folder,
// the relative executable folder, and trees far beyond the classic path limit.
#include "deploy/exe_detection.h"
#include "ui/notices.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/paths.h"
#include "helpers/game_rows.h"
#include "platform/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

using test::Fixture;

// Places a copy of a fixture executable at `path`, creating its folders.
void PutExe(const std::wstring& path, const std::wstring& fixture = L"plain.exe") {
  const std::string bytes = test::ReadFileBytes(Fixture(fixture));
  ASSERT_FALSE(bytes.empty()) << "missing fixture " << test::Utf8(fixture);
  test::WriteFileBytes(path, bytes);
}

std::optional<ExecutableCandidate> Detect(const std::wstring& path) {
  Game game;
  game.path = path;
  return FindGameExecutable(game);
}

std::vector<std::wstring> FullPaths(const std::vector<ExecutableCandidate>& list) {
  std::vector<std::wstring> paths;
  for (const auto& c : list) paths.push_back(CandidateFullPath(c));
  return paths;
}

// The entries of a folder in the order the file system lists them.
std::vector<WIN32_FIND_DATAW> RawListing(const std::wstring& folder) {
  std::vector<WIN32_FIND_DATAW> entries;
  WIN32_FIND_DATAW data{};
  FindHandle find(FindFirstFileW(ExtendedLengthPath(JoinPath(folder, L"*")).c_str(), &data));
  if (!find) return entries;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") entries.push_back(data);
  } while (FindNextFileW(find.get(), &data));
  return entries;
}

// Depth-first order written as plain recursion, to hold the walk against.
void ReferenceWalk(const std::wstring& folder, std::vector<std::wstring>& out) {
  for (const auto& e : RawListing(folder)) {
    const std::wstring path = JoinPath(folder, e.cFileName);
    if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ReferenceWalk(path, out);
    else if (IsExeName(e.cFileName)) out.push_back(path);
  }
}

class ExeDetectionTest : public ::testing::Test {
 protected:
  TempDir dir;
  test::MessageBoxRecorder boxes;
};

TEST_F(ExeDetectionTest, WalksDepthFirstInListingOrderAndTakesOnlyExeFiles) {
  const std::wstring game = dir / L"Walk";
  for (const wchar_t* exe : {L"a.exe", L"m\\b.exe", L"m\\n\\c.EXE", L"m\\z.exe", L"z\\d.exe", L"zz.exe",
                             L"h\\hidden.exe", L".exe"}) {
    PutExe(JoinPath(game, exe));
  }
  for (const wchar_t* other : {L"Game.exe.bak", L"exe", L"m\\readme.txt", L"m\\n\\notexe"}) {
    test::WriteFileBytes(JoinPath(game, other), "x");
  }
  test::MakeDirs(game + L"\\empty\\deeper");
  test::MakeDirs(game + L"\\folder.exe");  // a folder is never a candidate
  SetFileAttributesW((game + L"\\h\\hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesW((game + L"\\h").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);

  std::vector<ExecutableCandidate> list;
  CollectExecutables(game, list);
  std::vector<std::wstring> expected;
  ReferenceWalk(game, expected);
  EXPECT_EQ(expected.size(), 8u);
  EXPECT_EQ(FullPaths(list), expected);
  for (const auto& c : list) {
    EXPECT_FALSE(EndsWithSeparator(c.folder)) << test::Utf8(c.folder);
    EXPECT_EQ(c.folder.rfind(game, 0), 0u);
    EXPECT_EQ(c.productName, L"");
  }
  // The folder is spelt as given, a trailing separator included once.
  std::vector<ExecutableCandidate> fromSlash;
  CollectExecutables(game + L"\\", fromSlash);
  ASSERT_EQ(fromSlash.size(), list.size());
  EXPECT_EQ(CandidateFullPath(fromSlash[0]).find(L"\\\\"), std::wstring::npos);
  // An unlistable folder adds nothing.
  CollectExecutables(game + L"\\missing", list);
  EXPECT_EQ(list.size(), 8u);
}

TEST_F(ExeDetectionTest, ReadsProductNamesAndChoosesByFileNameFirst) {
  const std::wstring halcyon = dir / L"Halcyon";
  PutExe(halcyon + L"\\unins000.exe", L"disc_halcyon.exe");
  PutExe(halcyon + L"\\x64\\Halcyon.exe");
  std::vector<ExecutableCandidate> list;
  CollectExecutables(halcyon, list);
  ASSERT_EQ(list.size(), 2u);
  const auto& unins = list[0].fileName == L"unins000.exe" ? list[0] : list[1];
  EXPECT_EQ(unins.productName, L"Halcyon");
  const auto chosen = Detect(halcyon);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->fileName, L"Halcyon.exe");
  EXPECT_EQ(chosen->folder, halcyon + L"\\x64");
  EXPECT_EQ(RelativeExeFolder(CandidateFullPath(*chosen), halcyon), L"x64");
  EXPECT_TRUE(boxes.boxes().empty());
}

// The game's own files that a copy of the mod kept aside are no longer the
// game: a kept Halcyon.exe, whose name matches where the game's own does
// not, never takes the executable folder into the backup.
TEST_F(ExeDetectionTest, FilesKeptByACopyAreNotTheGame) {
  const std::wstring halcyon = dir / L"Halcyon";
  PutExe(halcyon + L"\\x64\\.zandrivell-backup\\20261208-101500\\Halcyon.exe");
  PutExe(halcyon + L"\\x64\\Halcyon_x64.exe");
  const auto chosen = Detect(halcyon);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(CandidateFullPath(*chosen), halcyon + L"\\x64\\Halcyon_x64.exe");
}

TEST_F(ExeDetectionTest, ProductNameMatchesOnlyWhenNoFileNameDoes) {
  PutExe(dir / L"Foo\\launcher.exe", L"disc_foo.exe");
  const auto foo = Detect(dir / L"Foo");
  ASSERT_TRUE(foo);
  EXPECT_EQ(foo->productName, L"Foo");

  // "Foo Game" occurs nowhere in the path, so nothing matches by name; the
  // one executable there is still the game's, taken by the fallback.
  PutExe(dir / L"Bar\\Foo\\launcher.exe", L"disc_foogame.exe");
  std::vector<ExecutableCandidate> barFoo;
  CollectExecutables(dir / L"Bar\\Foo", barFoo);
  EXPECT_FALSE(ChooseExecutable(dir / L"Bar\\Foo", barFoo));
  const auto fooGame = Detect(dir / L"Bar\\Foo");
  ASSERT_TRUE(fooGame);
  EXPECT_EQ(fooGame->productName, L"Foo Game");

  // ".exe" has an empty stem: only its product name can match.
  PutExe(dir / L"Qux\\Foo\\.exe", L"disc_foo.exe");
  const auto dotExe = Detect(dir / L"Qux\\Foo");
  ASSERT_TRUE(dotExe);
  EXPECT_EQ(dotExe->fileName, L".exe");

  // Named after the drive letter: the whole path takes part in the match.
  const std::wstring drive(1, dir.path()[0]);
  PutExe(dir / L"Zed\\" + drive + L".exe");
  const auto byDrive = Detect(dir / L"Zed");
  ASSERT_TRUE(byDrive);
  EXPECT_EQ(byDrive->fileName, drive + L".exe");
  EXPECT_TRUE(boxes.boxes().empty()) << "a folder with executables is never reported";
}

TEST_F(ExeDetectionTest, WarnsOnceWhenTheFolderHoldsNoExecutable) {
  test::MakeDirs(dir / L"Empty Game\\bin");
  test::WriteFileBytes(dir / L"Empty Game\\bin\\Game.exe.bak", "x");
  EXPECT_FALSE(Detect(dir / L"Empty Game"));
  const auto shown = boxes.boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, L"The folder Empty Game contains no executable!");
  EXPECT_EQ(shown[0].caption, L"No executable found");
  EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_EQ(shown[0].owner, nullptr);

  boxes.clear();
  EXPECT_FALSE(Detect(dir / L"Not There"));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, L"The folder Not There contains no executable!");
}

TEST_F(ExeDetectionTest, LinksAreNeitherFollowedNorTaken) {
  PutExe(dir / L"Target\\Linked.exe");
  test::MakeDirs(dir / L"Linked");
  const bool folderLink = CreateSymbolicLinkW((dir / L"Linked\\bin").c_str(), (dir / L"Target").c_str(),
                                              SYMBOLIC_LINK_FLAG_DIRECTORY);
  const bool fileLink = CreateSymbolicLinkW((dir / L"Linked\\Linked.exe").c_str(),
                                            (dir / L"Target\\Linked.exe").c_str(), 0);
  // Some systems report success without making the link (Wine); rights may
  // be missing on others.
  const bool made = (folderLink && test::DirExists(dir / L"Linked\\bin")) ||
                    (fileLink && test::FileExists(dir / L"Linked\\Linked.exe"));
  if (!made) GTEST_SKIP() << "this system cannot create symbolic links";
  std::vector<ExecutableCandidate> list;
  CollectExecutables(dir / L"Linked", list);
  EXPECT_TRUE(list.empty());
}

TEST_F(ExeDetectionTest, RelativeExeFolderComparesComponentsExactly) {
  const std::wstring game = dir / L"Foo";
  test::MakeDirs(game + L"\\bin\\x64");
  EXPECT_EQ(RelativeExeFolder(game + L"\\bin\\x64\\Foo.exe", game), L"bin\\x64");
  EXPECT_EQ(RelativeExeFolder(game + L"\\Foo.exe", game + L"\\"), L"");
  EXPECT_EQ(RelativeExeFolder(game + L"\\.\\bin\\..\\bin\\Foo.exe", game), L"bin");
  EXPECT_EQ(RelativeExeFolder(game + L"\\not\\yet\\Foo.exe", game), L"not\\yet");
  EXPECT_EQ(RelativeExeFolder(game + L"\\Foo.exe", game + L"\\bin\\x64"), L"..\\..");
  EXPECT_EQ(RelativeExeFolder(L"\\\\?\\" + game + L"\\bin\\Foo.exe", game), L"bin");
  EXPECT_EQ(RelativeExeFolder(L"Q:\\Games\\Foo\\Foo.exe", L"R:\\Games\\Foo"), L"");
  EXPECT_EQ(RelativeExeFolder(L"Q:\\Foo.exe", L"Q:\\"), L"");
  EXPECT_EQ(RelativeExeFolder(L"Q:\\Games\\FOO\\bin\\Foo.exe", L"Q:\\Games\\Foo"), L"..\\FOO\\bin");
}

TEST_F(ExeDetectionTest, FindsExecutablesFarBeyondTheClassicPathLimit) {
  // Long folder names past 260 characters, then many short levels.
  const int kLevels = 150;
  std::wstring game = dir / L"Deep Game";
  for (int i = 0; i < 4; ++i) game += L"\\" + std::wstring(80, static_cast<wchar_t>(L'a' + i));
  std::wstring bottom = game;
  for (int i = 0; i < kLevels; ++i) bottom += L"\\d";
  ASSERT_GT(game.size(), 330u);
  PutExe(bottom + L"\\launcher.exe", L"disc_foo.exe");
  PutExe(bottom + L"\\DeepGame.exe");
  PutExe(game + L"\\other.exe");
  ASSERT_TRUE(test::FileExists(bottom + L"\\DeepGame.exe"));

  std::vector<ExecutableCandidate> list;
  CollectExecutables(game, list);
  const auto chosen = Detect(game);
  ASSERT_EQ(list.size(), 3u);
  const auto launcher = std::find_if(list.begin(), list.end(), [](const auto& c) { return c.fileName == L"launcher.exe"; });
  ASSERT_NE(launcher, list.end());
  EXPECT_EQ(launcher->folder, bottom);
  EXPECT_EQ(launcher->productName, L"Foo");  // the version resource is read through the long path
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->fileName, L"DeepGame.exe");
  const std::wstring relative = RelativeExeFolder(CandidateFullPath(*chosen), game);
  EXPECT_EQ(relative, bottom.substr(game.size() + 1));
  EXPECT_EQ(RelativeExeFolder(ExtendedLengthPath(CandidateFullPath(*chosen)), ExtendedLengthPath(game)), relative);
}

// The common packaged Unreal layout on real files: the mod must go beside the
// shipping build, not beside the bootstrap launcher the name match finds.
TEST_F(ExeDetectionTest, PackagedUnrealGameGetsTheFolderOfItsRealExecutable) {
  const std::wstring ironveil = dir / L"Ironveil";
  PutExe(ironveil + L"\\Ironveil.exe", L"disc_bootstrap.exe");
  PutExe(ironveil + L"\\Engine\\Binaries\\Win64\\CrashReportClient.exe");
  PutExe(ironveil + L"\\Ironveil\\Binaries\\Win64\\Ironveil-Win64-Shipping.exe");
  Game game;
  game.path = ironveil;
  ASSERT_TRUE(RefreshGame(game, true));
  EXPECT_EQ(game.exeFolder, L"Ironveil\\Binaries\\Win64");

  // A renamed build behind the bootstrap launcher, known by its ProductName.
  Game renamed;
  renamed.path = dir / L"Ashfall";
  PutExe(renamed.path + L"\\Ashfall.exe", L"disc_bootstrap.exe");
  PutExe(renamed.path + L"\\Ashfall\\Binaries\\Win64\\AshfallClient.exe");
  ASSERT_TRUE(RefreshGame(renamed, true));
  EXPECT_EQ(renamed.exeFolder, L"Ashfall\\Binaries\\Win64");
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
}  // namespace zrcc
