// The Amazon Games launcher's games: its SQLite list
// (%LOCALAPPDATA%\Amazon Games\Data\Games\Sql\GameInstallInfo.sqlite),
// read with SQLite itself, and each game's fuel.json for the executable.
// Reads only.
#pragma once

#include <string>

#include "discovery/launchers.h"

namespace zrcc {

// The list's games, from the launcher's own place.
GameSearch SearchAmazonGames();

// The same from the database at `databasePath`. The database is opened
// read-only, sharing it with the launcher, which may be writing it: a
// write in progress is waited for a moment, then the list is skipped as
// "locked". A database that is missing yields nothing; one that is
// corrupt, of another layout, or too large yields a skip, never a crash or
// a hang.
GameSearch SearchAmazonDatabase(const std::wstring& databasePath);

}  // namespace zrcc
