// Ubisoft Connect's games: the registry's
// HKLM\SOFTWARE\WOW6432Node\Ubisoft\Launcher\Installs\<id>, value
// InstallDir (forward slashes, a trailing one). Reads only.
#pragma once

#include "discovery/launchers.h"

namespace zrcc {

// Each installed game's folder, named after the folder (the launcher's own
// names are in a binary cache); detection chooses the executable. Entries
// whose folder is missing or unusable are skipped and named.
GameSearch SearchUbisoftGames();

}  // namespace zrcc
