// Battle.net's and the Rockstar Games Launcher's games, found in the Windows
// uninstall list by the uninstall commands those launchers write (see
// core/uninstall_rules.h); every other program of the list is left alone.
// Reads only.
#pragma once

#include "discovery/launchers.h"

namespace zrcc {

// The list's three places: HKLM's 64-bit and 32-bit views and HKCU's.
// Rockstar's own keys (HKLM\SOFTWARE\WOW6432Node\Rockstar Games\<Game>,
// InstallFolder) add games the list does not name. Detection chooses the
// executable.
GameSearch SearchUninstallListGames();

}  // namespace zrcc
