// Where the game launchers of this PC keep their games: every Steam library
// (from the Steam installation's list of libraries), the Epic Games
// launcher's manifests and GOG's registry entries. Reads only; what is found
// is handed to find_games, which adds it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/found_games.h"

namespace zrcc {

// One game folder a launcher knows.
struct FoundGame {
  GameSource source = GameSource::Steam;
  std::wstring path;        // normalised, an existing folder when searched
  std::wstring name;        // the launcher's name for it; for Steam the manifests' (possibly empty)
  std::wstring executable;  // relative to `path`, as the launcher names it; empty: detection chooses
};

struct GameSearch {
  std::vector<FoundGame> games;  // one per game folder: repeats and folders inside others left out
  std::vector<FindSkip> skipped;
  size_t cannotBeChanged = 0;  // games in folders the system protects (Store games under WindowsApps)
};

// Searches the launchers in turn, telling `searching` whose list it reads
// now. Libraries and folders on absent drives, on network shares, or that do
// not exist, and launcher files that cannot be read or understood, are
// skipped and named in `skipped`. Steam's app manifests are read as "Add Dir"
// reads them. Touches nothing but the disk and the registry: any thread.
GameSearch SearchLaunchers(const std::function<void(GameSource searching)>& searching);

}  // namespace zrcc
