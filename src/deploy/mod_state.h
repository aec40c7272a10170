// Whether the mod is present in a game, and whether a folder is a mod package.
#pragma once

#include <optional>
#include <string>

#include "core/catalogue.h"
#include "core/file_version.h"

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

// What a usable package folder holds: its DLL's FileVersion and
// ProductVersion, and its fixed version, which tells whether a game's mod is
// older.
struct PackageInfo {
  std::wstring version;
  std::wstring build;
  std::optional<FileVersionNumbers> numbers;
};

// Accepts `folder` as the mod package when it holds ZandRivell.dll with the
// mod's ProductName, and says what it holds; nothing otherwise. Reads the
// disk only: the window shows the outcome (the package's one home is the
// window's package state).
std::optional<PackageInfo> CheckModFolder(const std::wstring& folder);

}  // namespace zrcc
