// The rules that decide the mod's state in a game, as plain text and value
// logic; mod_state.cpp applies them to what a folder listing finds.
#pragma once

#include <string>
#include <string_view>

#include "core/catalogue.h"

namespace zrcc {

// ProductName in the version resource that identifies the mod's DLL
// (compared exactly, letter case included).
inline constexpr wchar_t kModProductName[] = L"ZandRivell";
// The DLL a mod package folder must hold, under this name.
inline constexpr wchar_t kPackageDllName[] = L"ZandRivell.dll";

// The game's executable folder: `path` and `exeFolder` joined by one
// backslash, none added when `path` is empty or already ends in "/" or "\".
// An empty `exeFolder` therefore leaves a trailing backslash.
std::wstring ExeFolderPath(const Game& game);

// Where the record of the game's last copy lies: its executable folder, or
// the folder the copy went into before the executable folder changed.
std::wstring CopyFolderPath(const Game& game);

// A listing entry worth opening for its version resource: the name ends in
// ".dll" in any letter case (".dll" alone counts).
bool IsDllCandidateName(std::wstring_view name);

// The package DLL's own name, zandrivell.dll, in any letter case. While an
// entry of this name is present the mod is only copied, not installed.
bool IsPlainModDllName(std::wstring_view name);

// Copied when a mod DLL was found and something carries the plain name;
// Installed when a mod DLL was found under another name and has a
// FileVersion; None otherwise.
ModState DecideModState(bool foundModDll, bool hasPlainName, const std::wstring& fileVersion);

}  // namespace zrcc
