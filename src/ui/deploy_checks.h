// What the deployment commands and Open Dir make sure of before and after
// they act, so that nothing is put into a folder that is gone, nothing but
// the package the window shows is copied, and a copy that fell short says so.
#pragma once

#include <string>
#include <vector>

#include "core/catalogue.h"
#include "deploy/copy_check.h"

namespace zrcc {

class MainWindow;

// True when the game's folder still exists; otherwise an error box names
// the folder and says that it no longer exists, or that its drive or share
// is not present.
bool GameFolderStillThere(MainWindow& window, const Game& game);

// True when the package folder still holds the mod's ZandRivell.dll in the
// version the two version fields show. Otherwise the fields show what the
// folder holds now (a package without the mod counts as unset, as a
// rejected choice of "Set ZandRivell Path" does) and a box says why nothing
// is copied.
bool PackageStillAsShown(MainWindow& window);

// The files of a copy that did not arrive whole, one line each (at most 15,
// then how many more).
std::wstring ShortCopiesText(const std::vector<ShortCopy>& shortCopies);


}  // namespace zrcc
