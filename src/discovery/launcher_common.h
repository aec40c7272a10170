// What every launcher reader of "Find Games on This PC" does alike: take a
// folder a launcher names (or say why not), read a small launcher file
// whole, find the user's and the machine's known folders, keep one game per
// folder. Reads only; touches no window and no global.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/found_games.h"
#include "discovery/launchers.h"

namespace zrcc {

// What was passed over, for `skipped`.
FindSkip Skipped(SkipItem item, GameSource source, std::wstring name, SkipReason reason = SkipReason::FolderNotFound);

// Why a folder a launcher names is not searched, or nothing when it is: a
// network folder (never walked: it may be down and hold every call for a
// minute), no full path, a drive that is not present, a folder not found.
std::optional<SkipReason> LauncherFolderProblem(const std::wstring& folder);

// The folder a launcher names (LauncherFolderPath's spelling checks first:
// no NUL, no stray colon), normalised; or empty with `what` and the reason
// added to `skipped`. A game's folder is never a drive's root.
std::wstring UsableLauncherFolder(const std::wstring& named, FindSkip what, std::vector<FindSkip>& skipped);

// A launcher file read whole when it is at most `limit` bytes, or nothing:
// a missing file is no fault (the launcher has not written it), any other
// failure is added to `skipped` as `what` (cannot be read, too large).
std::optional<std::string> ReadLauncherFileBytes(const std::wstring& path, FindSkip what,
                                                 std::vector<FindSkip>& skipped, uint64_t limit);

// A known folder (FOLDERID_ProgramData, FOLDERID_LocalAppData,
// FOLDERID_RoamingAppData, FOLDERID_Profile), or empty.
std::wstring KnownFolderPath(const KNOWNFOLDERID& id);

// Adds `game` to `search` unless a game of the same folder, in any
// spelling, is already there (a launcher naming a game in both registry
// views, or twice in its list).
void AddFoundGame(GameSearch& search, std::unordered_set<std::wstring>& folderKeys, FoundGame game);

}  // namespace zrcc
