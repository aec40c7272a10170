// The EA app's and Origin's games: the registry's EA Games and Origin Games
// entries (both registry views), Origin's legacy .mfst files in
// %ProgramData%\Origin\LocalContent, and each game folder's
// __Installer\installerdata.xml for its name and launch executable. Reads
// only.
#pragma once

#include "discovery/launchers.h"

namespace zrcc {

GameSearch SearchEaGames();

}  // namespace zrcc
