// Choosing a game's executable among the executables found below its folder:
// the first whose file name, or else whose product name, occurs in the game
// folder's path once both are reduced to lower-case letters and digits; for a
// packaged Unreal Engine game, the real game behind its bootstrap launcher.
// Pure text work; the folder walk lives in exe_detection.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// One executable met below a game folder.
struct ExecutableCandidate {
  std::wstring fileName;     // name with extension, as listed (Game.exe)
  std::wstring folder;       // the folder holding it, spelt as the walk reached it
  std::wstring productName;  // ProductName of its version resource; empty when none
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
// - else, when the launcher is the engine's bootstrap (ProductName
//   "BootstrapPackagedGame") and those folders hold exactly one executable
//   (a renamed shipping build): that one.
std::optional<size_t> PackagedGameExecutable(const std::wstring& gamePath,
                                             const std::vector<ExecutableCandidate>& candidates, size_t launcher);

// Index of the chosen candidate: the matching one (MatchExecutable), or the
// real game behind it when it is a packaged game's launcher.
std::optional<size_t> ChooseExecutable(const std::wstring& gamePath,
                                       const std::vector<ExecutableCandidate>& candidates);

}  // namespace zrcc
