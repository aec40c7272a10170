// Whether one folder lies inside another, by path text: how Add Dir tells a
// folder that holds a listed game, or lies inside one, from a new game.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue.h"

namespace zrcc {

// A folder's spelling for comparing it with another: the plain spelling of
// a long form ("\\?\D:\..."), backslashes only, letter case folded as the
// catalogue folds its keys, no separator at the end (a drive root "D:\"
// becomes "d:").
std::wstring FolderKey(std::wstring_view path);

// Whether `inner` is `outer` itself or lies somewhere below it. Letter case
// is folded as the catalogue folds its keys; the long form ("\\?\D:\...")
// and the plain spelling, "\" and "/", and trailing separators count alike.
bool IsSameOrInsideFolder(std::wstring_view inner, std::wstring_view outer);

// The first of `games`, in list order, whose folder lies below `folder`
// (not the folder itself); null when there is none.
const Game* FindGameInside(const std::vector<Game>& games, std::wstring_view folder);
// The first of `games` whose folder is `folder` or holds it; null when none.
const Game* FindGameHolding(const std::vector<Game>& games, std::wstring_view folder);

}  // namespace zrcc
