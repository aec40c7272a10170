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

}  // namespace zrcc
