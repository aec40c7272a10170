// Names of Steam library games, read from the library's app manifests.
#pragma once

#include <string>
#include <unordered_map>

namespace zrcc {

// Game folder path (steamapps\common\<install folder>, letter case as in the
// manifest) to the game's Steam name. Lives for the whole process and only
// grows: later scans add or overwrite entries.
extern std::unordered_map<std::wstring, std::wstring> SteamGameNames;

// Reads every ".acf" manifest directly inside `steamappsFolder` and records
// the name of each game whose manifest gives both a name and an install
// folder. Unreadable, oversized or incomplete manifests are passed over
// silently; when two manifests name one install folder, the later listed wins.
void ReadSteamManifests(const std::wstring& steamappsFolder);

// The name recorded for a game folder, or empty. A folder past the classic
// path limit carries the long-form prefix ("\\?\" or "\\?\UNC\") while
// the manifests were recorded under the library's shorter spelling, so both
// spellings are looked up.
std::wstring SteamNameOf(const std::wstring& gameFolder);

// The Steam name of a game folder in a library, one that lies in
// <library>\steamapps\common, read afresh from that library's manifests;
// empty for a folder elsewhere or one the manifests do not name.
std::wstring ReadSteamNameOf(const std::wstring& gameFolder);

}  // namespace zrcc
