#include "core/list_view_rules.h"

#include <algorithm>
#include <limits>

#include "core/columns.h"
#include "core/text.h"

namespace zrcc {

const wchar_t* GameFilterText(GameFilter filter) {
  switch (filter) {
    case GameFilter::All: return L"All games";
    case GameFilter::UsableUpscaler: return L"Games with an upscaler";
    case GameFilter::HasMod: return L"Games with ZandRivell";
    case GameFilter::Outdated: return L"Outdated games";
  }
  return L"All games";
}

RowOrder ClickColumn(RowOrder now, int column) {
  if (now.column == column) return {column, !now.descending};
  return {column, false};
}

bool ListChoiceFilters(const ListChoice& choice) {
  return choice.filter != GameFilter::All || !choice.text.empty();
}

namespace {

bool Contains(std::wstring_view text, std::wstring_view lowerWanted) {
  return LowerKey(text).find(lowerWanted) != std::wstring::npos;
}

bool PassesKind(const Game& game, GameFilter filter, const PackageFacts& package) {
  switch (filter) {
    case GameFilter::All: return true;
    // The mod stands in for an upscaler the game already calls.
    case GameFilter::UsableUpscaler: return !game.gameFiles.upscalers.empty();
    case GameFilter::HasMod: return game.modState != ModState::None;
    case GameFilter::Outdated: return IsOutdated(game, package);
  }
  return true;
}

template <typename T>
int Sign(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareVersions(const std::wstring& a, const std::wstring& b, TextOrder compare) {
  const std::vector<uint64_t> left = VersionTextNumbers(a), right = VersionTextNumbers(b);
  // A game without a version sorts before every version.
  if (left.empty() != right.empty()) return left.empty() ? -1 : 1;
  if (const int byNumber = Sign(left, right)) return byNumber;
  return compare(a, b);
}

}  // namespace

bool GameShown(const Game& game, const ListChoice& choice, const PackageFacts& package) {
  if (!PassesKind(game, choice.filter, package)) return false;
  if (choice.text.empty()) return true;
  const std::wstring wanted = LowerKey(choice.text);
  return Contains(game.name, wanted) || Contains(game.path, wanted);
}

int CompareGamesBy(int column, const Game& a, const Game& b, TextOrder compare) {
  switch (column) {
    case kColumnSize:
      return Sign(a.sizeBytes, b.sizeBytes);  // an unknown size is smaller than any
    case kColumnModVersion:
      return CompareVersions(a.modVersion, b.modVersion, compare);
    case kColumnBuildVersion:
      return CompareVersions(a.buildVersion, b.buildVersion, compare);
    // The texts the columns show, compared where they lie: a sort of many
    // rows makes no copies of them.
    case kColumnPath:
      return compare(a.path, b.path);
    case kColumnName:
      return compare(a.name, b.name);
    case kColumnExeFolder:
      return compare(a.exeFolder, b.exeFolder);
    default:
      break;
  }
  if (column < 0 || column >= kColumnCount) return 0;
  const auto& text = kColumns[static_cast<size_t>(column)].text;
  return compare(text(a), text(b));
}

bool RowsBefore::operator()(int32_t a, int32_t b) const {
  const int by = CompareGamesBy(order_.column, games_[static_cast<size_t>(a)], games_[static_cast<size_t>(b)], compare_);
  if (by != 0) return order_.descending ? by > 0 : by < 0;
  return a < b;
}

void SortRows(std::vector<int32_t>& rows, const std::vector<Game>& games, RowOrder order, TextOrder compare) {
  if (order.column < 0) {
    std::sort(rows.begin(), rows.end());
    return;
  }
  std::sort(rows.begin(), rows.end(), RowsBefore(games, order, compare));
}

std::vector<uint64_t> VersionTextNumbers(std::wstring_view text) {
  std::vector<uint64_t> numbers;
  constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
  bool inNumber = false;
  for (const wchar_t unit : text) {
    if (unit >= L'0' && unit <= L'9') {
      if (!inNumber) numbers.push_back(0);
      inNumber = true;
      uint64_t& n = numbers.back();
      const auto digit = static_cast<uint64_t>(unit - L'0');
      n = n > (kMost - digit) / 10 ? kMost : n * 10 + digit;
    } else if (unit == L'.') {
      inNumber = false;
    } else {
      break;
    }
  }
  return numbers;
}

std::wstring TypedLetterText(const Game& game) {
  if (!game.name.empty()) return game.name;
  std::wstring_view path = game.path;
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.remove_suffix(1);
  const size_t cut = path.find_last_of(L"\\/");
  return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

std::wstring ShownGameCountText(int32_t shown, int32_t total, int32_t outdated) {
  if (shown >= total) return GameCountText(shown, outdated);
  return L"Games: " + std::to_wstring(shown) + L" of " + std::to_wstring(total) + L" shown";
}

ListChoice SettledListChoice(int sortColumn, int sortDescending, int filter) {
  ListChoice choice;
  choice.order.column = std::clamp(sortColumn, -1, kColumnCount - 1);
  choice.order.descending = choice.order.column >= 0 && std::clamp(sortDescending, 0, 1) == 1;
  choice.filter = static_cast<GameFilter>(std::clamp(filter, 0, kGameFilterCount - 1));
  return choice;
}

}  // namespace zrcc
