// Choosing a game's executable among the executables found below its folder:
// the first whose file name, or else whose product name, occurs in the game
// folder's path once both are reduced to lower-case letters and digits.
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

// Index of the chosen candidate: the first whose file stem key occurs in the
// game path's key, else the first whose product name key does; nothing when
// none does. All candidates are tried by file name before any by product name.
std::optional<size_t> ChooseExecutable(const std::wstring& gamePath,
                                       const std::vector<ExecutableCandidate>& candidates);

}  // namespace zrcc
