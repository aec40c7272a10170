// The games of Heroic and of legendary on Windows: their installed.json
// files (legendary's own in %USERPROFILE%\.config\legendary, Heroic's copy of
// it, Heroic's GOG and Amazon lists in %APPDATA%\heroic). Reads only.
#pragma once

#include "discovery/launchers.h"

namespace zrcc {

GameSearch SearchHeroicGames();

}  // namespace zrcc
