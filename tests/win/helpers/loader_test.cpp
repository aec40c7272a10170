// The background load against real folders, a real list view and status bar.
#include "helpers/loader.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "platform/app_folder.h"

#include "platform/dialogs.h"
#include "platform/win_handles.h"
#include "ui/game_list_pane.h"
#include "ui/notices.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppFolderForTesting(dir.path());
    ClearGames();
  }
  void TearDown() override {
    ClearGames();
    SetAppFolderForTesting(L"");
  }
  void WriteList(const std::vector<GameListEntry>& games) {
    test::WriteFileBytes(dir / L"data.ini", FormatGameListFile(games));
  }
  std::wstring Game(const std::wstring& name) {
    const std::wstring path = dir / (L"games\\" + name);
    test::WriteFileBytes(path + L"\\" + name + L".txt", "12345");
    return path;
  }
  void Load() {
    const int finished = window.loadFinished();
    ASSERT_TRUE(LaunchAsyncLoadData(window.pane()));
    ASSERT_TRUE(window.WaitForLoadEnd(finished));
  }
  TempDir dir;
  test::TestWindow window;
  test::MessageBoxRecorder boxes;
};

TEST_F(LoaderTest, VanishedGamesAreDroppedAndTheRestKeepTheirOrder) {
  const std::wstring a = Game(L"A"), c = Game(L"C");
  WriteList({{a, L"", L"Alpha"}, {dir / L"games\\B", L"", L"Beta"}, {c, L"", L"Gamma"}});
  Load();
  ASSERT_EQ(window.RowCount(), 2);
  ASSERT_EQ(GameCount(), 2);
  EXPECT_EQ(GetGame(0)->path, a);
  EXPECT_EQ(GetGame(1)->path, c);
  EXPECT_EQ(window.CellText(1, 0), c);
  EXPECT_EQ(window.CellText(1, 1), L"5 B");
  EXPECT_EQ(window.CellText(1, 5), L"Gamma");
  EXPECT_EQ(window.StatusText(), L"Games: 2");
  // The user is told that the list lost a game, once, beside the count.
  wchar_t note[256] = {};
  SendMessageW(window.statusBar(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(note));
  EXPECT_EQ(std::wstring(note), L"1 game was left out of the list: its folder is gone.");
  EXPECT_EQ(window.loadStarted(), 1);
  EXPECT_TRUE(boxes.boxes().empty());
}

// A game on a drive unplugged at this start is only out of reach: its row
// stays as stored and the list file keeps it; a game whose folder went from
// a drive that is there is dropped. Plugged in again, it is read as before.
TEST_F(LoaderTest, GameOnAnAbsentDriveIsKeptAsStored) {
  test::WineDrive drive(dir / L"usb");
  if (!drive.ok()) GTEST_SKIP() << "needs a drive that can be unplugged (Wine's drive links)";
  const std::wstring onDrive = drive.root() + L"Games\\Tidebreaker";
  test::WriteFileBytes(onDrive + L"\\bin\\game.txt", "12345");
  const std::vector<GameListEntry> list = {
      {onDrive, L"bin", L"Tidebreaker"}, {dir / L"games\\Gone", L"", L"Gone"}, {Game(L"Here"), L"", L"Here"}};
  WriteList(list);
  ASSERT_TRUE(drive.Unplug());
  Load();
  ASSERT_EQ(window.RowCount(), 2);
  EXPECT_TRUE(RowShowsDriveAbsent(window.list(), 0) && !RowShowsDriveAbsent(window.list(), 1));
  EXPECT_EQ(window.CellText(0, 5), L"Tidebreaker");
  EXPECT_EQ(window.CellText(0, 1), L"") << "nothing is read from an absent drive";
  ASSERT_TRUE(SaveData());
  EXPECT_EQ(ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini")), (std::vector<GameListEntry>{list[0], list[2]}));
  ASSERT_TRUE(drive.PlugIn());
  Load();
  EXPECT_EQ(window.CellText(0, 1), L"5 B");
  EXPECT_TRUE(boxes.boxes().empty());
}

// A backup or sync program holding data.ini open as the load starts is
// waited for; one that keeps it is reported, and the list it holds is
// neither emptied nor lost: it loads once the file is free.
TEST_F(LoaderTest, ListHeldOpenByAnotherProgramIsWaitedForOrReported) {
  WriteList({{Game(L"A"), L"", L"Alpha"}, {Game(L"B"), L"", L"Beta"}});
  const std::wstring file = dir / L"data.ini";
  const std::string bytes = test::ReadFileBytes(file);
  const auto hold = [&] {
    return UniqueHandle(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  };
  UniqueHandle held = hold();
  const int finished = window.loadFinished();
  ASSERT_TRUE(LaunchAsyncLoadData(window.pane()));
  test::PumpMessages(600);
  held.reset();
  ASSERT_TRUE(window.WaitForLoadEnd(finished));
  EXPECT_EQ(window.RowCount(), 2);
  EXPECT_TRUE(boxes.boxes().empty());

  held = hold();
  Load();
  held.reset();
  EXPECT_EQ(window.RowCount(), 0);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find(file), std::wstring::npos);
  ASSERT_TRUE(SaveData());  // as at the close: nothing is written over the list
  EXPECT_EQ(test::ReadFileBytes(file), bytes);
}

TEST_F(LoaderTest, SameFolderInOtherLetterCaseGivesOneRow) {
  const std::wstring a = Game(L"Alpha");
  std::wstring upper = a;
  for (auto& ch : upper) ch = static_cast<wchar_t>(towupper(ch));
  WriteList({{a, L"", L""}, {upper, L"", L""}});
  Load();
  EXPECT_EQ(window.RowCount(), 1);
  EXPECT_EQ(GetGame(0)->path, a);
}

TEST_F(LoaderTest, NoFileLeavesTheListEmptyAndCountsNoGames) {
  Load();
  EXPECT_EQ(window.RowCount(), 0);
  EXPECT_EQ(window.StatusText(), L"Games: 0");
  EXPECT_EQ(window.loadFinished(), 1);
}

TEST_F(LoaderTest, ListWithoutSurvivingGamesEndsWithTheCountNotLoading) {
  WriteList({{dir / L"nowhere", L"", L""}});
  Load();
  EXPECT_EQ(window.StatusText(), L"Games: 0");
}

TEST_F(LoaderTest, ReloadShowsTheSameRowsInTheSameOrder) {
  std::vector<GameListEntry> list;
  for (int i = 0; i < 12; ++i) list.push_back({Game(L"G" + std::to_wstring(i)), L"", L""});
  WriteList(list);
  Load();
  ASSERT_TRUE(SaveData());
  Load();
  ASSERT_EQ(window.RowCount(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(window.CellText(i, 0), list[static_cast<size_t>(i)].path);
}

TEST_F(LoaderTest, OneLoadAtATime) {
  std::vector<GameListEntry> list;
  for (int i = 0; i < 30; ++i) list.push_back({Game(L"G" + std::to_wstring(i)), L"", L""});
  WriteList(list);
  ASSERT_TRUE(LaunchAsyncLoadData(window.pane()));
  EXPECT_FALSE(LaunchAsyncLoadData(window.pane()));
  ASSERT_TRUE(window.WaitForLoadEnd(0));
  EXPECT_EQ(window.loadStarted(), 1);
  EXPECT_EQ(window.RowCount(), 30);
}

// Games are refreshed several at once, but rows, catalogue and warnings keep
// file order: each warning comes when exactly the rows before its game are in.
TEST_F(LoaderTest, RowsAndWarningsKeepFileOrderWhileGamesAreRefreshedAtOnce) {
  std::vector<GameListEntry> list;
  std::vector<std::wstring> survivors;
  for (int i = 0; i < 40; ++i) {
    const std::wstring name = L"G" + std::to_wstring(i);
    if (i % 7 == 3) {  // gone from the disk
      list.push_back({dir / (L"games\\" + name), L"", name});
      continue;
    }
    const std::wstring path = Game(name);
    // Every fifth game's stored executable folder has vanished and the game
    // has no executable: detection runs and warns.
    list.push_back({path, i % 5 == 0 ? L"bin" : L"", name});
    survivors.push_back(path);
  }
  WriteList(list);
  std::vector<std::pair<std::wstring, int>> warnings;  // text, rows shown at that moment
  SetMessageBoxHandler([&](HWND, const std::wstring& text, const std::wstring&, UINT) {
    warnings.emplace_back(text, window.RowCount());
    return IDOK;
  });
  Load();
  SetMessageBoxHandler(nullptr);
  ASSERT_EQ(window.RowCount(), static_cast<int>(survivors.size()));
  ASSERT_EQ(GameCount(), static_cast<int32_t>(survivors.size()));
  for (size_t row = 0; row < survivors.size(); ++row) {
    EXPECT_EQ(window.CellText(static_cast<int>(row), 0), survivors[row]);
    EXPECT_EQ(GetGame(static_cast<int32_t>(row))->path, survivors[row]);
  }
  std::vector<std::pair<std::wstring, int>> expected;
  int rowsBefore = 0;
  for (int i = 0; i < 40; ++i) {
    if (i % 7 == 3) continue;
    if (i % 5 == 0) expected.emplace_back(L"The folder G" + std::to_wstring(i) + L" contains no executable!", rowsBefore);
    ++rowsBefore;
  }
  EXPECT_EQ(warnings, expected);
  EXPECT_EQ(GetGame(0)->exeFolder, L"");  // re-detected: nothing found
  EXPECT_EQ(window.StatusText(), L"Games: " + std::to_wstring(survivors.size()));
}

// Dropping vanished games costs one pass over the list, not one shift of
// the whole list per game: five times the games take about five times as
// long, not twenty-five. The times are reported; the survivors are checked.
TEST_F(LoaderTest, ManyVanishedGamesAreDroppedInOnePass) {
  const std::wstring kept = Game(L"Kept");
  double seconds[2] = {};
  const int sizes[2] = {20000, 100000};
  for (int run = 0; run < 2; ++run) {
    std::vector<GameListEntry> list;
    for (int i = 0; i < sizes[run]; ++i) {
      list.push_back({dir / (L"gone\\G" + std::to_wstring(i)), L"", L""});
      if (i == sizes[run] / 2) list.push_back({kept, L"", L"Kept"});
    }
    WriteList(list);
    const ULONGLONG start = GetTickCount64();
    Load();
    seconds[run] = static_cast<double>(GetTickCount64() - start) / 1000.0;
    ASSERT_EQ(GameCount(), 1);
    EXPECT_EQ(GetGame(0)->path, kept);
    EXPECT_EQ(window.RowCount(), 1);
  }
  std::printf("vanished games dropped: %d in %.2f s, %d in %.2f s (ratio %.1f for 5 times the games)\n", sizes[0],
              seconds[0], sizes[1], seconds[1], seconds[1] / std::max(seconds[0], 0.001));
}

TEST_F(LoaderTest, StoppedLoadStillHoldsEveryGameOfTheFile) {
  std::vector<GameListEntry> list;
  for (int i = 0; i < 300; ++i) {
    const std::wstring path = Game(L"G" + std::to_wstring(i));
    for (int f = 0; f < 20; ++f) test::WriteFileBytes(path + L"\\f" + std::to_wstring(f), "x");
    list.push_back({path, L"", L"N" + std::to_wstring(i)});
  }
  WriteList(list);
  ASSERT_TRUE(LaunchAsyncLoadData(window.pane()));
  test::PumpMessages(50);
  StopJobAndWait();  // keeps carrying out the loader's row messages meanwhile
  EXPECT_FALSE(BackgroundJobRunning());
  EXPECT_LT(window.RowCount(), 300) << "the load was expected to be stopped part-way";
  ASSERT_TRUE(SaveData());
  std::wstring text;
  ASSERT_TRUE(ReadDataFileText(text));
  EXPECT_EQ(ParseGameListText(text), list);
  window.WaitForLoadEnd(0);
}

// Rows come in steps as games are done, each drawn from its game; once the
// job is asked to stop (here from a warning the load shows) not one more row
// is handed over, while the list file still gets every game.
TEST_F(LoaderTest, RowsComeInStepsAndNoneAfterAStop) {
  std::vector<GameListEntry> list;
  for (int i = 0; i < 120; ++i) {
    const std::wstring path = Game(L"G" + std::to_wstring(i));
    for (int f = 0; f < 10; ++f) test::WriteFileBytes(path + L"\\f" + std::to_wstring(f), "x");
    // Game 100's stored executable folder has vanished and nothing is found.
    list.push_back({path, i == 100 ? L"bin" : L"", L"N" + std::to_wstring(i)});
  }
  WriteList(list);
  int rowsAtStop = -1;
  SetMessageBoxHandler([&](HWND, const std::wstring&, const std::wstring&, UINT) {
    RequestStop();
    rowsAtStop = window.RowCount();
    return IDOK;
  });
  const int finished = window.loadFinished();
  ASSERT_TRUE(LaunchAsyncLoadData(window.pane()));
  std::vector<int> counts;
  while (window.loadFinished() == finished) {
    test::PumpMessages(5);
    if (counts.empty() || counts.back() != window.RowCount()) counts.push_back(window.RowCount());
  }
  SetMessageBoxHandler(nullptr);
  ASSERT_EQ(rowsAtStop, 100);
  EXPECT_EQ(window.RowCount(), rowsAtStop);
  EXPECT_GT(counts.size(), 2u) << "the rows came in one step";
  for (int row : {0, 57, 99}) {
    EXPECT_EQ(window.CellText(row, 0), list[static_cast<size_t>(row)].path);
    EXPECT_EQ(window.CellText(row, 5), list[static_cast<size_t>(row)].name);
  }
  list[100].exeFolder.clear();  // detected before the stop: nothing there
  list[100].name.clear();
  ASSERT_TRUE(SaveData());
  std::wstring text;
  ASSERT_TRUE(ReadDataFileText(text));
  EXPECT_TRUE(ParseGameListText(text) == list);
}

}  // namespace
}  // namespace zrcc
