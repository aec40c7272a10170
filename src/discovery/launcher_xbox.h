// Games the Xbox app installed: every drive's .GamingRoot names its
// libraries, each library holds a folder per game, the game's
// appxmanifest.xml names it and its MicrosoftGame.config the executable the
// mod goes beside. Store packages under a protected WindowsApps folder
// cannot take a mod: they are counted, never an error. Reads only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "discovery/launchers.h"

namespace zrcc {

struct XboxSearch {
  GameSearch found;
  // Games and folders the system keeps out of reach (WindowsApps, folders
  // that cannot be listed): "cannot be changed".
  std::vector<std::wstring> cannotBeChanged;
};

// Drives C: to Z: (an absent drive is passed over quietly), then the
// WindowsApps folders of the system drive's Program Files and of every
// drive's root.
XboxSearch SearchXboxGames();

// One library folder's games (<library>\<Game>\Content\appxmanifest.xml, or
// <Game>\appxmanifest.xml), added to `search`.
void SearchXboxLibrary(const std::wstring& library, XboxSearch& search);

}  // namespace zrcc
