// The game list as a view over the catalogue, on the real main window: a
// click on a header sorts, the filter narrows, commands act on the game the
// row shows, "Update All Outdated" updates game after game, and data.ini
// never sees any of it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/control_ids.h"
#include "core/game_list_file.h"
#include "helpers/game_rows.h"
#include "platform/list_view.h"
#include "platform/processes.h"
#include "ui/notices.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// A game folder with its executable and `bytes` more in a file of its own.
// The folders lie in "Lib", so that no letter "a" of their paths but the
// game's own name can meet the filter.
std::wstring MakeGame(const TempDir& dir, const std::wstring& name, size_t bytes) {
  const std::wstring folder = dir / (L"Lib\\" + name);
  test::CopyFileOrFail(test::Fixture(L"plain.exe"), folder + L"\\" + name + L".exe");
  WriteFileBytes(folder + L"\\data.pak", std::string(bytes, 'x'));
  return folder;
}

HWND HeaderOf(HWND list) { return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); }

// A click on a column's header, as the mouse makes it.
void ClickHeader(HWND list, int column) {
  const HWND header = HeaderOf(list);
  RECT item{};
  SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(header, WM_LBUTTONUP, 0, at);
  test::PumpMessages(20);
}

int SortArrow(HWND list, int column) {
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  SendMessageW(HeaderOf(list), HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

// The catalogue games in the order the rows show them.
std::vector<const Game*> ShownGames(HWND list) {
  std::vector<const Game*> games;
  for (int row = 0; row < ListRowCount(list); ++row) games.push_back(GetGame(GameIndexOfRow(list, row)));
  return games;
}

void ChooseFilter(test::AppWindow& app, GameFilter filter) {
  SendMessageW(app.control(kIdFilterKind), CB_SETCURSEL, static_cast<WPARAM>(filter), 0);
  SendMessageW(app.window(), WM_COMMAND, MAKEWPARAM(kIdFilterKind, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(app.control(kIdFilterKind)));
}

TEST(ListView, AHeaderClickSortsAThousandGamesByBytesAndTheOrderOutlivesARestart) {
  TempDir dir;
  std::vector<GameListEntry> entries;
  const size_t real[] = {3000, 10, 70000, 500};
  for (size_t i = 0; i < std::size(real); ++i) {
    entries.push_back({MakeGame(dir, L"Real" + std::to_wstring(i), real[i]), L"", L""});
  }
  WriteFileBytes(dir / L"data.ini", FormatGameListFile(entries));
  {
    test::AppWindow app(dir.path());
    // Games the disk never sees, of sizes that differ in ways a text of
    // their size cannot tell apart (1 GB and 1 GB + 1 byte).
    for (uint64_t i = 0; i < 996; ++i) {
      Game game;
      game.path = dir / (L"Nowhere\\" + std::to_wstring(i));
      game.sizeBytes = (i * 7919) % 1000 + (i % 3 == 0 ? uint64_t{1} << 30 : 0);
      AddGame(game);
    }
    ShowGameRows(app.list(), GameCount());
    ASSERT_EQ(app.RowCount(), 1000);

    ClickHeader(app.list(), kColumnSize);
    EXPECT_EQ(SortArrow(app.list(), kColumnSize), HDF_SORTUP);
    for (int column = 0; column < kColumnCount; ++column) {
      if (column != kColumnSize) {
        EXPECT_EQ(SortArrow(app.list(), column), 0) << column;
      }
    }
    std::vector<const Game*> reference;
    for (const Game& game : AllGames()) reference.push_back(&game);
    std::stable_sort(reference.begin(), reference.end(),
                     [](const Game* a, const Game* b) { return a->sizeBytes < b->sizeBytes; });
    EXPECT_TRUE(ShownGames(app.list()) == reference) << "by bytes, ties in the catalogue's order";
    app.ExpectRowsMatchCatalogue();

    ClickHeader(app.list(), kColumnSize);
    EXPECT_EQ(SortArrow(app.list(), kColumnSize), HDF_SORTDOWN);
    const std::vector<const Game*> down = ShownGames(app.list());
    EXPECT_TRUE(std::is_sorted(down.begin(), down.end(),
                               [](const Game* a, const Game* b) { return a->sizeBytes > b->sizeBytes; }));
    EXPECT_EQ(GetGame(0)->path, entries[0].path) << "the catalogue keeps its own order";
    app.Close();
  }
  // The games that are not on the disk are gone at the next start; the
  // order is not.
  test::AppWindow again(dir.path());
  EXPECT_EQ(SortArrow(again.list(), kColumnSize), HDF_SORTDOWN);
  const std::vector<std::wstring> expected = {entries[2].path, entries[0].path, entries[3].path, entries[1].path};
  for (int row = 0; row < 4; ++row) EXPECT_EQ(again.Cell(row, kColumnPath), expected[static_cast<size_t>(row)]) << row;
}

TEST(ListView, CommandsActOnTheGameTheRowShowsAndDataIniNeverSeesTheView) {
  TempDir dir;
  const std::wstring package = dir / L"package";
  test::CopyFileOrFail(test::Fixture(L"mod_080.dll"), package + L"\\ZandRivell.dll");
  std::vector<GameListEntry> entries;
  // Sizes and names chosen so that the sorted, filtered third row is a game
  // in the middle of the catalogue.
  const std::pair<const wchar_t*, size_t> games[] = {{L"Alpha", 100},  {L"Other", 900}, {L"Beta", 50000},
                                                     {L"Gamma", 7000}, {L"Delta", 300}, {L"Omega", 20}};
  for (const auto& [name, bytes] : games) entries.push_back({MakeGame(dir, name, bytes), L"", name});
  WriteFileBytes(dir / L"data.ini", FormatGameListFile(entries));
  test::AppWindow app(dir.path());
  app.pickerAnswers = {package};
  app.Press(kIdSetFolderButton);
  ASSERT_TRUE(SaveData());
  const std::string saved = ReadFileBytes(dir / L"data.ini");

  // Every game but "Other" has an "a" in its name, letter case aside.
  SetWindowTextW(app.control(kIdFilterField), L"A");
  ClickHeader(app.list(), kColumnSize);
  ClickHeader(app.list(), kColumnSize);
  ASSERT_EQ(app.RowCount(), 5);
  EXPECT_EQ(app.StatusText(), L"Games: 5 of 6 shown");
  // From the largest down: Beta, Gamma, Delta, Alpha, Omega.
  EXPECT_EQ(app.Cell(2, kColumnName), L"Delta");
  app.ExpectRowsMatchCatalogue();

  ASSERT_TRUE(SaveData());
  EXPECT_EQ(ReadFileBytes(dir / L"data.ini"), saved) << "every game, in the catalogue's order";

  app.Select(2);
  ASSERT_TRUE(app.Enabled(kIdCopyButton));
  test::ShellDialogAnswerer yes(IDYES);
  app.Press(kIdCopyButton);
  for (const GameListEntry& entry : entries) {
    EXPECT_EQ(test::FileExists(entry.path + L"\\ZandRivell.dll"), entry.name == L"Delta") << test::Utf8(entry.name);
  }
  EXPECT_EQ(app.Cell(2, kColumnStatus), L"Copied") << "the row shows the refreshed game where it was";
  EXPECT_EQ(app.Cell(2, kColumnName), L"Delta");

  // Del Dir takes the game the row shows out of the list, and nothing else.
  app.Select(0);
  app.Press(kIdDeleteButton);
  ASSERT_EQ(GameCount(), 5);
  for (const Game& game : AllGames()) EXPECT_NE(game.name, L"Beta");
  const std::vector<GameListEntry> left = ReadGameListEntries(ReadFileBytes(dir / L"data.ini"));
  ASSERT_EQ(left.size(), 5u) << "the hidden game too";
  EXPECT_EQ(left[1].name, L"Other");

  // Ctrl+F reaches the filter from the list; Esc there shows every game again.
  SetFocus(app.list());
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  test::DispatchKey(WM_KEYDOWN, 'F');
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(GetFocus(), app.control(kIdFilterField));
  test::DispatchKey(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(app.RowCount(), 5);
  EXPECT_EQ(app.StatusText(), L"Games: 5");
}

TEST(ListView, OutdatedShowsExactlyTheOutdatedGamesAndUpdateAllSkipsARunningOne) {
  TempDir dir;
  const std::wstring package = dir / L"package";
  test::CopyFileOrFail(test::Fixture(L"mod_080.dll"), package + L"\\ZandRivell.dll");
  std::vector<GameListEntry> entries;
  const wchar_t* names[] = {L"Old1", L"Current", L"Old2", L"Bare", L"Old3", L"Playing"};
  for (const wchar_t* name : names) {
    const std::wstring folder = MakeGame(dir, name, 10);
    const std::wstring mod = std::wstring(name) == L"Current" ? L"mod_080.dll" : L"mod_062.dll";
    if (std::wstring(name) != L"Bare") test::CopyFileOrFail(test::Fixture(mod), folder + L"\\ZandRivell.dll");
    entries.push_back({folder, L"", name});
  }
  WriteFileBytes(dir / L"data.ini", FormatGameListFile(entries));
  const std::wstring playing = entries[5].path + L"\\Playing.exe";
  SetProcessLister([playing] { return std::vector<RunningProcess>{{42, playing}}; });
  test::AppWindow app(dir.path());
  app.pickerAnswers = {package};
  app.Press(kIdSetFolderButton);

  ChooseFilter(app, GameFilter::Outdated);
  const PackageFacts facts = app.package().Facts();
  std::set<std::wstring> shown, outdated;
  for (int row = 0; row < app.RowCount(); ++row) shown.insert(app.Cell(row, kColumnPath));
  for (const Game& game : AllGames()) {
    if (IsOutdated(game, facts)) outdated.insert(game.path);
  }
  EXPECT_EQ(shown, outdated);
  EXPECT_EQ(shown.size(), 4u);
  EXPECT_EQ(app.StatusText(), L"Games: 4 of 6 shown");

  app.boxes.clear();
  app.Press(kIdUpdateAllItem);
  SetProcessLister({});
  const std::string updatedDll = ReadFileBytes(test::Fixture(L"mod_080.dll"));
  for (size_t i : {0u, 2u, 4u}) {
    EXPECT_EQ(ReadFileBytes(entries[i].path + L"\\ZandRivell.dll"), updatedDll) << i;
  }
  EXPECT_EQ(ReadFileBytes(entries[5].path + L"\\ZandRivell.dll"), ReadFileBytes(test::Fixture(L"mod_062.dll")));
  const auto boxes = app.boxes.boxes();
  ASSERT_EQ(boxes.size(), 2u) << "the one question, the one summary";
  EXPECT_NE(boxes[0].text.find(L"in 3 games"), std::wstring::npos) << test::Utf8(boxes[0].text);
  const std::wstring& summary = boxes[1].text;
  EXPECT_NE(summary.find(L"Updated: 3 games."), std::wstring::npos) << test::Utf8(summary);
  EXPECT_NE(summary.find(L"Playing: it is running (Playing.exe)"), std::wstring::npos) << test::Utf8(summary);
  EXPECT_EQ(summary.find(L"Failed"), std::wstring::npos) << test::Utf8(summary);
  // Outdated now: only the game that was running.
  ASSERT_EQ(app.RowCount(), 1);
  EXPECT_EQ(app.Cell(0, kColumnPath), entries[5].path);
}

// A close asked for while the second game is being updated: that game is
// finished, the third is never begun, and the window closes after.
TEST(ListView, ACloseDuringUpdateAllLeavesEachGameUpdatedOrAsItWas) {
  TempDir dir;
  const std::wstring package = dir / L"package";
  test::CopyFileOrFail(test::Fixture(L"mod_080.dll"), package + L"\\ZandRivell.dll");
  std::vector<GameListEntry> entries;
  for (const wchar_t* name : {L"First", L"Second", L"Third"}) {
    entries.push_back({MakeGame(dir, name, 10), L"", name});
    test::CopyFileOrFail(test::Fixture(L"mod_062.dll"), entries.back().path + L"\\ZandRivell.dll");
  }
  WriteFileBytes(dir / L"data.ini", FormatGameListFile(entries));
  test::AppWindow app(dir.path());
  app.pickerAnswers = {package};
  app.Press(kIdSetFolderButton);
  // The run asks whether a game runs just before it begins it: the fifth
  // question (three while the run is planned) is the second game's.
  std::atomic<int> asked{0};
  const HWND window = app.window();
  SetProcessLister([&asked, window] {
    if (++asked == 5) {
      PostMessageW(window, WM_CLOSE, 0, 0);
      Sleep(1000);  // the window has asked the job to stop by now
    }
    return std::vector<RunningProcess>{};
  });
  app.Press(kIdUpdateAllItem);
  SetProcessLister({});
  EXPECT_FALSE(IsWindow(window)) << "the held close went ahead";
  const std::string updated = ReadFileBytes(test::Fixture(L"mod_080.dll"));
  EXPECT_EQ(ReadFileBytes(entries[0].path + L"\\ZandRivell.dll"), updated);
  EXPECT_EQ(ReadFileBytes(entries[1].path + L"\\ZandRivell.dll"), updated) << "the game in progress is finished";
  EXPECT_EQ(ReadFileBytes(entries[2].path + L"\\ZandRivell.dll"), ReadFileBytes(test::Fixture(L"mod_062.dll")));
  EXPECT_EQ(test::ListNames(entries[2].path), (std::vector<std::wstring>{L"Third.exe", L"ZandRivell.dll", L"data.pak"}))
      << "nothing of the third was touched";
}

}  // namespace
}  // namespace zrcc
