// Whether a game is running, asked of the real process list: a program
// started from a copy inside a temporary game folder is found through every
// spelling of that folder, and no longer once it has ended.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "core/paths.h"
#include "platform/processes.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

// The same folder in other letters: every letter the system can upper-case.
std::wstring UpperCased(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::optional<RunningProcess> WaitUntilFound(const std::wstring& folder) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (auto found = FindProcessRunningFrom(folder)) return found;
    Sleep(100);
  }
  return std::nullopt;
}

TEST(Processes, AGameStartedFromItsFolderIsFoundWhileItRuns) {
  TempDir temp;
  const std::wstring game = temp / L"\u00C4rger Spiel";
  const std::wstring exe = game + L"\\Binaries\\Win64\\Game.exe";
  test::CopyFileOrFail(test::TestProgramFolder() + L"\\zrcc-wait-game.exe", exe);
  ASSERT_EQ(FindProcessRunningFrom(game), std::nullopt);

  test::StartedProcess started = test::StartProcess(exe);
  ASSERT_TRUE(started.process);
  const std::optional<RunningProcess> found = WaitUntilFound(game);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->id, started.id);
  EXPECT_TRUE(ImageLiesInFolder(found->imagePath, game + L"\\Binaries")) << test::Utf8(found->imagePath);
  for (const std::wstring& spelling :
       {UpperCased(game), ExtendedLengthPath(game, 0), game + L"\\", game + L"\\Binaries\\..\\Binaries"}) {
    EXPECT_TRUE(FindProcessRunningFrom(spelling)) << test::Utf8(spelling);
  }
  // A folder whose name merely begins like it, or one beside it, holds none.
  for (const std::wstring& other : {game.substr(0, game.size() - 1), game + L" 2", game + L"\\Binaries\\Win32"}) {
    EXPECT_FALSE(FindProcessRunningFrom(other)) << test::Utf8(other);
  }

  ASSERT_TRUE(TerminateProcess(started.process.get(), 0));
  ASSERT_EQ(WaitForSingleObject(started.process.get(), 10000), WAIT_OBJECT_0);
  started.process.reset();
  EXPECT_EQ(FindProcessRunningFrom(game), std::nullopt);
}

// Spellings the system may report, and the seam tests use in place of the
// system's list.
TEST(Processes, FoldersCompareAsWindowsComparesThemThroughTheSeam) {
  const std::wstring deep = L"D:\\Games\\" + std::wstring(300, L'x');
  EXPECT_TRUE(ImageLiesInFolder(L"\\\\?\\" + deep + L"\\bin\\game.exe", deep));
  EXPECT_TRUE(ImageLiesInFolder(L"d:/games/g/g.exe", L"D:\\Games\\.\\G"));
  EXPECT_FALSE(ImageLiesInFolder(L"D:\\Games\\G\\g.exe", L"Games\\G"));  // no place to compare
  SetProcessLister([] { return std::vector<RunningProcess>{{8, L"\\\\?\\UNC\\nas\\games\\Halcyon\\h.exe"}}; });
  EXPECT_EQ(FindProcessRunningFrom(L"\\\\NAS\\games\\halcyon\\").value_or(RunningProcess{}).id, 8u);
  EXPECT_FALSE(FindProcessRunningFrom(L"\\\\nas\\games\\Halcyon 2"));
  SetProcessLister({});
}

}  // namespace
}  // namespace zrcc
