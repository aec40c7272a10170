// How the game list is shown: the column it is sorted by and which way, the
// games the filter lets through, the text typed letters are matched with,
// and the count the status bar says. The rows are a view over the catalogue;
// nothing here changes a game or the catalogue's order. Platform-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue.h"
#include "core/update_rules.h"

namespace zrcc {

// What the drop-down beside the filter field narrows the list to.
enum class GameFilter : int { All = 0, UsableUpscaler = 1, HasMod = 2, Outdated = 3 };
inline constexpr int kGameFilterCount = 4;

// The drop-down's entry for a filter, in the order of the enum.
const wchar_t* GameFilterText(GameFilter filter);

// The column the rows are sorted by (none: the catalogue's own order) and
// whether the order runs from the largest down.
struct RowOrder {
  int column = -1;
  bool descending = false;
  bool operator==(const RowOrder&) const = default;
};

// A click on a column's header: the first click sorts by it from the
// smallest up, a second click on the same column turns the order round.
RowOrder ClickColumn(RowOrder now, int column);

// Everything that decides which rows show and in which order.
struct ListChoice {
  RowOrder order;
  GameFilter filter = GameFilter::All;
  std::wstring text;  // the filter field's text, as typed
};

// Whether the filter is narrowing the list at all.
bool ListChoiceFilters(const ListChoice& choice);

// Whether a game passes the filter: its name or its path contains the text,
// letters compared without case, and it is one of the games the drop-down
// asks for (outdated by the same rule as the count's "(N outdated)").
bool GameShown(const Game& game, const ListChoice& choice, const PackageFacts& package);

// Compares two texts as the user expects them ordered (names and paths as
// Explorer orders them); negative, zero or positive.
using TextOrder = int (*)(const std::wstring& a, const std::wstring& b);

// Negative, zero or positive as `a` comes before, with, or after `b` when
// sorted by `column` from the smallest up: sizes by bytes (an unknown size
// first), versions by their numbers, every other column by its text.
int CompareGamesBy(int column, const Game& a, const Game& b, TextOrder compare);

// Whether catalogue game `a` goes before catalogue game `b` in `order`; ties
// keep the catalogue's order, so the order is total and the same every time.
class RowsBefore {
 public:
  RowsBefore(const std::vector<Game>& games, RowOrder order, TextOrder compare)
      : games_(games), order_(order), compare_(compare) {}
  bool operator()(int32_t a, int32_t b) const;

 private:
  const std::vector<Game>& games_;
  RowOrder order_;
  TextOrder compare_;
};

// Sorts catalogue indices into `order` (RowsBefore).
void SortRows(std::vector<int32_t>& rows, const std::vector<Game>& games, RowOrder order, TextOrder compare);

// The rows of `games` that `shown` lets through, in `order`: catalogue
// indices. Without a column the catalogue's order.
template <typename Shown>
std::vector<int32_t> ArrangeRows(const std::vector<Game>& games, RowOrder order, TextOrder compare, Shown shown);

// The numbers of a version text ("1.2.10-beta" gives 1, 2, 10): runs of
// digits up to the first character that is neither a digit nor a dot. Each
// number saturates rather than overflows.
std::vector<uint64_t> VersionTextNumbers(std::wstring_view text);

// The text typed letters are matched with: the game's name, or for a game
// without one the last part of its folder.
std::wstring TypedLetterText(const Game& game);

// The status bar's count: "Games: 42 of 300 shown" while the filter hides
// any, the count as it has always been otherwise.
std::wstring ShownGameCountText(int32_t shown, int32_t total, int32_t outdated);

// What settings.ini holds of the list's view, settled: each value taken into
// its range (a column below the table's first reads as none, one past its
// last as the last; a direction as 0 or 1; a filter into the drop-down's).
ListChoice SettledListChoice(int sortColumn, int sortDescending, int filter);

template <typename Shown>
std::vector<int32_t> ArrangeRows(const std::vector<Game>& games, RowOrder order, TextOrder compare, Shown shown) {
  std::vector<int32_t> rows;
  rows.reserve(games.size());
  for (size_t i = 0; i < games.size(); ++i) {
    if (shown(games[i])) rows.push_back(static_cast<int32_t>(i));
  }
  if (order.column >= 0) SortRows(rows, games, order, compare);
  return rows;
}

}  // namespace zrcc
