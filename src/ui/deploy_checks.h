// What the deployment commands and Open Dir make sure of before and after
// they act, so that nothing is put into a folder that is gone, nothing but
// the package the window shows is copied, and a copy that fell short says so.
#pragma once

#include <string>

#include "core/catalogue.h"

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

// After a copy of the package into `target`: every file of the package that
// is missing there or has another size, one line each (at most 15, then how
// many more); empty when everything arrived whole. Reads the disk only: a
// job may ask it.
std::wstring ShortCopiesText(const std::wstring& package, const std::wstring& target);

// The same after the shell's copy, said in an error box when anything fell
// short.
void ReportShortCopies(MainWindow& window, const std::wstring& package, const std::wstring& target);

}  // namespace zrcc
