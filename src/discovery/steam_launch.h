// The executable Steam itself starts for each game of its libraries, from
// the launch entries of <Steam>\appcache\appinfo.vdf (see
// core/steam_appinfo.h), read once per search. Reads only.
#pragma once

#include <optional>
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

// The Steam installation the registry names (HKCU's "SteamPath", else
// HKLM's "InstallPath"), as written there; nothing when neither is.
std::optional<std::wstring> SteamInstallation();

// Every library the installation's steamapps\libraryfolders.vdf names, then
// the installation itself, which holds a library of its own (Steam lists it
// too). A list that cannot be read or understood is added to `skipped`.
std::vector<std::wstring> SteamLibraryRoots(const std::wstring& installation, std::vector<FindSkip>& skipped);

// What "Play" starts for the games of one library, given by its games folder
// (<library>\steamapps\common, as Add Dir takes it), when the library is
// one of the installation's: Add Dir of a library takes Steam's word as the
// search does. Nothing for a library Steam does not list, or an installation
// on a share or out of reach.
std::vector<SteamLaunchExecutable> SteamLaunchesOfLibrary(const std::wstring& gamesFolder);

}  // namespace zrcc
