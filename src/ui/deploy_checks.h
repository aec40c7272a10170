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

// The deployments that look at the game's own state first.
enum class DeployStep { Copy, Install, Uninstall, Update, UndoCopy };

// True when `step` may go into `game` as it stands now. A game running from
// its folder refuses every deployment with an "Error" box (it holds its
// files open); before Copy, Install and Update the user is asked, default
// No, when the game carries anti-cheat or Steam is updating it. Taking the mod
// out (Uninstall, Undo Copy) never asks. Nothing is changed either way.
bool GameAllowsDeployment(MainWindow& window, const Game& game, DeployStep step);

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
