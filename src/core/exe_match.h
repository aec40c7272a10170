// Choosing a game's executable among the executables found below its folder:
// the first whose file name, or else whose product name, occurs in the game
// folder's path once both are reduced to lower-case letters and digits; for a
// packaged Unreal Engine game, the real game behind its bootstrap launcher;
// where no name occurs in the path, the fallback of exe_fallback.h.
// Pure text work; the folder walk lives in exe_detection.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue.h"
#include "core/pe_version.h"

namespace zrcc {

// One executable met below a game folder.
struct ExecutableCandidate {
  std::wstring fileName;     // name with extension, as listed (Game.exe)
  std::wstring folder;       // the folder holding it, spelt as the walk reached it
  std::wstring productName;  // ProductName of its version resource; empty when none
  PeMachine machine = PeMachine::Unknown;  // from its PE header
};

// `folder`, a backslash, `fileName`; no backslash added when `folder` already
// ends with "\" or "/" (or is empty: a file of the current folder).
std::wstring CandidateFullPath(const ExecutableCandidate& candidate);

// The letters and digits of `text` (as the runtime's iswalnum sees them), each
// lower-cased with the runtime's towlower: "D:\Games\Iron Coast 2077" gives
// "dgamesironcoast2077".
std::wstring MatchKey(std::wstring_view text);

// The part after the last "\" or "/", cut before its last dot when it has one:
// Game.final.exe gives Game.final, .exe gives the empty text.
std::wstring FileStem(std::wstring_view path);

// True for a name longer than three characters whose last four are ".exe" in
// any letter case (Game.EXE yes; Game.exe.bak and "exe" no).
bool IsExeName(std::wstring_view name);

// Index of the matching candidate: the first whose file stem key occurs in
// the game path's key, else the first whose product name key does; nothing
// when none does. All candidates are tried by file name before any by product
// name.
std::optional<size_t> MatchExecutable(const std::wstring& gamePath,
                                      const std::vector<ExecutableCandidate>& candidates);

// MatchKey of the candidate's file stem.
std::wstring StemKey(const ExecutableCandidate& candidate);

// The subfolders from `gamePath` down to `folder`, as the walk spells a
// folder below the game folder (the game path, one backslash unless it ends
// with one, the names joined by single backslashes); empty for the game
// folder itself; nothing for a folder spelt any other way.
std::optional<std::vector<std::wstring_view>> FoldersBelow(std::wstring_view folder, std::wstring_view gamePath);

// "<sub>\Binaries\Win64" or "<sub>\Binaries\WinGDK" below a game folder
// (<sub> one folder, not the engine's own "Engine"), where a packaged
// Unreal game keeps its own executable.
bool IsGameBinariesFolder(const std::vector<std::wstring_view>& names);

// "...-Shipping.exe" in any letter case: a packaged Unreal game's build.
bool IsShippingName(std::wstring_view fileName);

// A packaged Unreal Engine game has a small bootstrap launcher at its top
// (Ironveil\Ironveil.exe) that only starts the real game,
// Ironveil\Ironveil\Binaries\Win64\Ironveil-Win64-Shipping.exe; the mod works
// only beside the latter. Given the matched candidate `launcher`, this is the
// real game to take instead, or nothing when the layout is not that one:
// - the launcher lies directly in the game folder;
// - a "<sub>\Binaries\Win64" or "<sub>\Binaries\WinGDK" folder of the game
//   folder (<sub> one folder, not the engine's own "Engine") holds an
//   executable named "...-Shipping.exe": that one; among several, the first
//   whose stem key begins with the launcher's stem key, else the first;
// - else one of those folders holding an executable of the launcher's own
//   stem key (Ironveil\Binaries\Win64\Ironveil.exe), whatever the
//   launcher's ProductName: that one;
// - else, when the launcher is the engine's bootstrap (ProductName
//   "BootstrapPackagedGame") and those folders hold exactly one executable
//   (a renamed shipping build): that one.
std::optional<size_t> PackagedGameExecutable(const std::wstring& gamePath,
                                             const std::vector<ExecutableCandidate>& candidates, size_t launcher);

// Index of the candidate chosen by name: the matching one
// (MatchExecutable), or the real game behind it when it is a packaged game's
// launcher.
std::optional<size_t> ChooseExecutable(const std::wstring& gamePath,
                                       const std::vector<ExecutableCandidate>& candidates);

// The chosen candidate and how it was chosen; no index (and None) when
// none was.
struct ExecutableChoice {
  std::optional<size_t> index;
  ExeChoice how = ExeChoice::None;
};

// What detection takes: the choice by name (ChooseExecutable) and, where
// it chose none, the fallback's (FallbackExecutable); either way a 32-bit
// or a Development or Debug build gives way to a sounder build of the same
// executable (PreferSoundBuild).
ExecutableChoice DecideExecutable(const std::wstring& gamePath, const std::vector<ExecutableCandidate>& candidates);

// The choice when the game's launcher names an executable (`named`, a full
// path): the candidate that is that file, whatever its letter case, or the
// real game behind it when it is a packaged game's launcher (Launcher). No
// index when the walk did not meet the file (it lies behind a link or is
// gone): detection decides then.
ExecutableChoice LauncherNamedExecutable(const std::wstring& gamePath,
                                         const std::vector<ExecutableCandidate>& candidates,
                                         const std::wstring& named);

}  // namespace zrcc
