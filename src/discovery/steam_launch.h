// The executable Steam itself starts for each game of its libraries, from
// the launch entries of <Steam>\appcache\appinfo.vdf (see
// core/steam_appinfo.h), read once per search. Reads only.
#pragma once

#include <string>
#include <vector>

#include "core/found_games.h"

namespace zrcc {

// A game folder of a library and the executable below it that a plain
// "Play" starts ("bin\x64_dx12\game.exe").
struct SteamLaunchExecutable {
  std::wstring gameFolder;  // <library>\steamapps\common\<installdir>, as the manifest names it
  std::wstring executable;  // relative to gameFolder; a file that exists there
};

struct SteamLaunches {
  std::vector<SteamLaunchExecutable> games;
  std::vector<FindSkip> skipped;  // appinfo.vdf too large, not understood, cut short
};

// For every app manifest of the `libraries` (library folders, each holding
// steamapps): the first launch executable, in Steam's order for the branch
// the manifest names, that exists in the game folder. Games without one are
// left out (detection chooses for them). A missing appinfo.vdf yields
// nothing; a cut or damaged one the games read before the fault, and a skip.
SteamLaunches ReadSteamLaunchExecutables(const std::wstring& steamInstallation,
                                         const std::vector<std::wstring>& libraries);

}  // namespace zrcc
