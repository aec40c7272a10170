// Killing the program in the middle of a save never leaves a broken list:
// data.ini is always the whole previous list or the whole new one.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/game_list_file.h"
#include "platform/win_handles.h"
#include "tools/save_loop_list.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

// The generation a saved list belongs to, or -1 when it is not a whole list
// of one generation.
long WholeListGeneration(const std::vector<GameListEntry>& games) {
  if (games.empty()) return -1;
  const std::wstring& first = games[0].name;  // "gen <g> game 0"
  const size_t space = first.find(L' ', 4);
  if (first.rfind(L"gen ", 0) != 0 || space == std::wstring::npos) return -1;
  const unsigned generation = static_cast<unsigned>(std::stoul(first.substr(4, space - 4)));
  const std::vector<Game> expected = SaveLoopList(generation);
  if (games.size() != expected.size()) return -1;
  for (size_t i = 0; i < games.size(); ++i) {
    if (games[i].path != expected[i].path || games[i].name != expected[i].name ||
        games[i].exeFolder != expected[i].exeFolder) {
      return -1;
    }
  }
  return static_cast<long>(generation);
}

TEST(InterruptedSave, EveryKillLeavesAWholeList) {
  test::TempDir dir;
  const std::wstring exe = test::TestProgramFolder() + L"\\zrcc-save-loop.exe";
  std::mt19937 random(1208);
  int kills = 0, sawData = 0;
  for (int round = 0; round < 210; ++round) {
    const test::StartedProcess saving = test::StartProcess(exe, L"\"" + dir.path() + L"\"");
    ASSERT_TRUE(saving.process);
    Sleep(40 + random() % 160);
    TerminateProcess(saving.process.get(), 9);
    WaitForSingleObject(saving.process.get(), INFINITE);
    ++kills;

    const auto names = test::ListNames(dir.path());
    for (const auto& name : names) {
      ASSERT_TRUE(name == L"data.ini" || name == L"data.ini.saving") << test::Utf8(name);
    }
    if (!test::FileExists(dir / L"data.ini")) continue;  // killed before the first save ended
    ++sawData;
    const auto games = ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini"));
    ASSERT_GE(WholeListGeneration(games), 0) << "round " << round << ": data.ini is not a whole list";
  }
  EXPECT_GE(kills, 200);
  EXPECT_GT(sawData, 150);
  std::printf("interrupted saves: %d kills, data.ini whole after every one of %d\n", kills, sawData);
}

}  // namespace
}  // namespace zrcc
