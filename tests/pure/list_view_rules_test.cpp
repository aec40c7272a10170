// The game list's view: its order against a reference sort, the filter
// against its definition, typed letters and the settled settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "core/columns.h"
#include "core/list_view_rules.h"
#include "core/settings_keys.h"
#include "core/update_all.h"

namespace zrcc {
namespace {

int Plain(const std::wstring& a, const std::wstring& b) { return a.compare(b); }

std::vector<Game> RandomGames(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::vector<Game> games(count);
  for (size_t i = 0; i < count; ++i) {
    Game& g = games[i];
    g.path = L"C:\\Games\\G" + std::to_wstring(pick(50));
    g.name = pick(4) == 0 ? L"" : L"Name " + std::to_wstring(pick(30));
    if (pick(5) != 0) g.sizeBytes = static_cast<uint64_t>(pick(4)) << (10 * pick(4));
    g.sizeText = g.sizeBytes ? std::to_wstring(*g.sizeBytes) : L"";
    if (pick(3) != 0) g.modVersion = std::to_wstring(pick(3)) + L"." + std::to_wstring(pick(12));
  }
  return games;
}

// The key each column is meant to sort by, computed independently of the
// rule under test: a reference sort by it, ties by catalogue index.
std::vector<int32_t> ReferenceOrder(const std::vector<Game>& games, RowOrder order) {
  std::vector<int32_t> rows(games.size());
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int32_t>(i);
  auto key = [&](int32_t i) {
    const Game& g = games[static_cast<size_t>(i)];
    if (order.column == kColumnSize) return std::make_tuple(g.sizeBytes.has_value(), g.sizeBytes.value_or(0), std::wstring());
    if (order.column == kColumnModVersion) {
      const std::vector<uint64_t> n = VersionTextNumbers(g.modVersion);
      return std::make_tuple(!n.empty(), n.empty() ? 0 : n[0] * 1000 + (n.size() > 1 ? n[1] : 0), std::wstring());
    }
    return std::make_tuple(false, uint64_t{0}, kColumns[static_cast<size_t>(order.column)].text(g));
  };
  std::stable_sort(rows.begin(), rows.end(), [&](int32_t a, int32_t b) {
    return order.descending ? key(b) < key(a) : key(a) < key(b);
  });
  return rows;
}

TEST(ListViewRules, OrderMatchesAReferenceSortInBothDirections) {
  const std::vector<Game> games = RandomGames(400, 7);
  for (int column : {int(kColumnPath), int(kColumnSize), int(kColumnModVersion), int(kColumnName)}) {
    for (bool descending : {false, true}) {
      const RowOrder order{column, descending};
      EXPECT_EQ(ArrangeRows(games, order, Plain, [](const Game&) { return true; }), ReferenceOrder(games, order))
          << column << " " << descending;
    }
  }
  // Versions compare by number, not by text: 1.10 after 1.9.
  Game a, b;
  a.modVersion = L"1.10";
  b.modVersion = L"1.9";
  EXPECT_GT(CompareGamesBy(kColumnModVersion, a, b, Plain), 0);
  EXPECT_EQ(VersionTextNumbers(L"99999999999999999999999.2"), (std::vector<uint64_t>{UINT64_MAX, 2}));
}

TEST(ListViewRules, FilterKeepsExactlyTheGamesItDescribes) {
  std::vector<Game> games = RandomGames(200, 11);
  PackageFacts package;
  package.set = true;
  package.numbers = FileVersionNumbers{2, 0, 0, 0};
  for (size_t i = 0; i < games.size(); ++i) {
    if (i % 3 == 0) {
      games[i].modState = ModState::Copied;
      games[i].modFileVersion = FileVersionNumbers{static_cast<uint16_t>(1 + i % 2), 0, 0, 0};
    }
    if (i % 4 == 0) games[i].gameFiles.upscalers.push_back({});
  }
  const ListChoice outdated{{}, GameFilter::Outdated, L""};
  const ListChoice text{{}, GameFilter::All, L"nAmE 1"};
  for (const Game& g : games) {
    EXPECT_EQ(GameShown(g, outdated, package), IsOutdated(g, package));
    EXPECT_EQ(GameShown(g, {{}, GameFilter::HasMod, L""}, package), g.modState != ModState::None);
    EXPECT_EQ(GameShown(g, {{}, GameFilter::UsableUpscaler, L""}, package), !g.gameFiles.upscalers.empty());
    EXPECT_EQ(GameShown(g, text, package), g.name.find(L"Name 1") != std::wstring::npos);
  }
  EXPECT_FALSE(ListChoiceFilters({{3, true}, GameFilter::All, L""}));
  EXPECT_EQ(ShownGameCountText(42, 300, 5), L"Games: 42 of 300 shown");
  EXPECT_EQ(ShownGameCountText(300, 300, 5), GameCountText(300, 5));
}

TEST(ListViewRules, ClicksTypedLettersAndStoredValues) {
  RowOrder order = ClickColumn({}, kColumnSize);
  EXPECT_EQ(order, (RowOrder{kColumnSize, false}));
  order = ClickColumn(order, kColumnSize);
  EXPECT_EQ(order, (RowOrder{kColumnSize, true}));
  EXPECT_EQ(ClickColumn(order, kColumnName), (RowOrder{kColumnName, false}));

  Game named, unnamed;
  named.name = L"Portal";
  named.path = L"D:\\x\\portal2";
  unnamed.path = L"D:\\Games\\Half-Life\\";
  EXPECT_EQ(TypedLetterText(named), L"Portal");
  EXPECT_EQ(TypedLetterText(unnamed), L"Half-Life");

  // Whatever the file holds lands in the ranges the keys declare.
  for (int hostile : {INT_MIN, -2, -1, 0, 1, 7, 8, 99, INT_MAX}) {
    const ListChoice c = SettledListChoice(hostile, hostile, hostile);
    const SettingKey& column = ListSettingKey(ListSetting::SortColumn);
    const SettingKey& kind = ListSettingKey(ListSetting::FilterKind);
    EXPECT_EQ(c.order.column, std::clamp(hostile, column.least, column.most));
    EXPECT_EQ(static_cast<int>(c.filter), std::clamp(hostile, kind.least, kind.most));
    EXPECT_TRUE(c.order.column >= 0 || !c.order.descending);
  }
}

}  // namespace
}  // namespace zrcc

namespace zrcc {
namespace {

// The closing box of "Update All Outdated" names every game of a short run
// with its reason, and cuts a long list rather than growing past the screen.
TEST(UpdateAllText, SummaryNamesEachGameAndItsReason) {
  UpdateAllTally tally;
  for (int i = 0; i < 25; ++i) tally.updated.push_back(L"Game " + std::to_wstring(i));
  tally.skipped.push_back({L"Runner", UpdateSkip::Running, L"C:\\Games\\Runner\\bin\\run.exe"});
  tally.failed.push_back({L"Broken", L"at setup_windows.bat:\nexit code 1"});
  const std::wstring text = UpdateAllSummary(tally);
  EXPECT_NE(text.find(L"Updated: 25 games."), std::wstring::npos);
  EXPECT_NE(text.find(L"Game 19\n"), std::wstring::npos);
  EXPECT_EQ(text.find(L"Game 20\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"and 5 more"), std::wstring::npos);
  EXPECT_NE(text.find(L"Runner: it is running (run.exe)"), std::wstring::npos);
  EXPECT_NE(text.find(L"Broken: the update stopped at setup_windows.bat"), std::wstring::npos);
  EXPECT_FALSE(UpdateAllWentWell(tally));
  EXPECT_TRUE(UpdateAllWentWell({{L"One"}, {}, {}}));
  EXPECT_EQ(UpdateAllAntiCheatQuestion({}), L"");
  EXPECT_NE(UpdateAllSteamQuestion({L"A", L"B"}).find(L"  B\n"), std::wstring::npos);
}

}  // namespace
}  // namespace zrcc
