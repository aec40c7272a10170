// Whether the mod is present in a game, and whether a folder is a mod package.
#pragma once

#include <string>

#include "core/catalogue.h"

namespace zrcc {

// Looks at the .dll files directly in `folder` (any letter case of the
// suffix, subfolders not searched), in listing order, for the first whose
// ProductName is `productName`; its FileVersion and ProductVersion then
// replace the outputs where present, and `matchedFile` (when given) is its
// path. False when none matches or the folder cannot be listed.
bool FindModDll(const std::wstring& folder, const std::wstring& productName, std::wstring& fileVersion,
                std::wstring& productVersion, std::wstring* matchedFile = nullptr);

// True when an entry named zandrivell.dll in any letter case, file or
// directory, lies directly in `folder`.
bool HasModDllName(const std::wstring& folder);

// Sets the game's modState, modVersion, buildVersion and modFileVersion
// afresh from the contents of its executable folder, and what became of the
// files the last copy of the package wrote there.
void DetectModState(Game& game);

// Accepts `folder` as the mod package when it holds ZandRivell.dll with the
// mod's ProductName; the package texts then take that DLL's FileVersion and
// ProductVersion (and PackageFileVersion its fixed version). Otherwise the package path field reads "No path set" and
// the package texts stay as they were.
bool CheckModFolder(const std::wstring& folder);

}  // namespace zrcc
