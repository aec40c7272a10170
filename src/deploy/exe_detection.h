// Finding the folder that holds a game's executable: walk the game folder,
// collect every executable, choose one (see exe_match.h and exe_fallback.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/exe_match.h"

namespace zrcc {

// Appends every executable below `folder` (the folder itself included) in
// depth-first listing order: a subfolder's executables stand at the place of
// its entry. Links and junctions are neither followed nor taken, nor is a
// folder the walk is already inside searched again (where links look like
// plain folders); a folder that cannot be listed adds nothing. Each
// candidate's product name is read from its version resource.
void CollectExecutables(const std::wstring& folder, std::vector<ExecutableCandidate>& list);

// CollectExecutables and MeasureFolderSize in one walk of the tree: appends
// the same candidates in the same order and returns the same size. An empty
// `folder` gives 0 and no candidate. Once `stop` is set the walk ends early
// and both results are incomplete.
uint64_t CollectExecutablesAndMeasure(const std::wstring& folder, std::vector<ExecutableCandidate>& list,
                                      const std::atomic<bool>* stop = nullptr);

// The size walk's step of the executable search, for walks that visit
// files for more than one purpose: appends the file `name` in `folder` to
// `list` as CollectExecutables would (an executable outside a backup folder,
// with its product name).
void NoteExecutableCandidate(const std::wstring& folder, const wchar_t* name, std::vector<ExecutableCandidate>& list);

// The executable chosen for the game at `game.path`, or nothing: when the
// folder holds no executable at all (then `noExecutable`, when given, is
// set: the window warns about that), or when executables exist but none is
// recognised.
std::optional<ExecutableCandidate> DetectGameExecutable(const Game& game, bool* noExecutable = nullptr);

// The folder of `exeFullPath` relative to `gamePath` ("bin\x64"), both taken
// in weakly canonical form and compared component by component with regard to
// letter case. Empty for the game folder itself and when the roots differ.
std::wstring RelativeExeFolder(const std::wstring& exeFullPath, const std::wstring& gamePath);

}  // namespace zrcc
