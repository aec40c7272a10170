// Recognising a game's executable where neither its file name nor its
// product name occurs in the game's path (abbreviations and codenames, the
// title plus a build tag, numerals written the other way, packaged Unreal
// games under a codename). Pure text work on the candidate list; the folder
// walk lives in exe_detection.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/exe_match.h"

namespace zrcc {

// Never the game: redistributable and runtime installers (also anything in
// a folder such as _CommonRedist, __Installer, Redist or DirectX), crash
// reporters, uninstallers, anti-cheat bootstrappers and the Unreal engine's
// own tools, known by their names or their folders.
bool IsHelperExecutable(const std::wstring& gamePath, const ExecutableCandidate& candidate);

// The executable to take where matching by name chose none, or nothing.
// Helpers are set aside first; then, in this order, the first rule that
// recognises any candidate decides:
// 1. a packaged Unreal game's shipping build ("...-Shipping.exe" in
//    <sub>\Binaries\Win64 or WinGDK), else what such a folder holds;
// 2. an executable named after the game folder (its last component, not the
//    whole path), perhaps with build tags after it (Kestrel_x64,
//    KestrelDX11vk), numbers in digits or Roman numerals either way;
// 3. an abbreviation of the folder's words: of each word used, its
//    beginning or its number (chr for Crimson Harbor Redux, gta5 for Grand
//    Theft Auto V), at least three letters or digits, again perhaps with tags;
// 4. the executables left over, launchers set aside when anything else is.
// A launcher is never recognised by rules 2 and 3. When what a rule
// recognises lies in several folders, 32-bit builds (by their PE header or
// their folder's name) give way to the others; still several, and nothing
// is chosen: a wrong folder is worse than the game folder and a hint.
std::optional<size_t> FallbackExecutable(const std::wstring& gamePath,
                                         const std::vector<ExecutableCandidate>& candidates);

// A Development or Debug build: "Debug" or "Development" as a word of its
// file name (Foo-Win64-Development.exe, Foo_Debug.exe) or as a folder
// below the game folder (bin\Debug).
bool IsDevelopmentBuild(const std::wstring& gamePath, const ExecutableCandidate& candidate);

// The candidate to take instead of `chosen` when that is a 32-bit build
// (its PE header says x86) or a Development or Debug build and another
// build of the same executable is sounder: the same name once build tags
// are cut from it (Talos and x64\Talos, dontstarve_steam and
// dontstarve_steam_x64, Foo-Win64-Development and Foo-Win64-Shipping), no
// helper, and with fewer of those faults, 32-bit counting worse; the first
// of them in list order. `chosen` itself when there is none.
size_t PreferSoundBuild(const std::wstring& gamePath, const std::vector<ExecutableCandidate>& candidates,
                        size_t chosen);

}  // namespace zrcc
