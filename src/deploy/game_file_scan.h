// Reading a game's own files as the size walk passes them: its upscaler DLLs
// with their versions and its anti-cheat markers (the names are core's
// game_files table), and the one walk of a game folder that gives its size,
// its executables and these facts together.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/exe_match.h"
#include "core/game_files.h"

namespace zrcc {

// The visitor of one walk of `gameFolder`, which must be spelt as the walk
// is given it. What lies in a backup folder is passed over, and so is a DLL
// under an upscaler's name whose version resource says it is the mod's
// (installed in the place of the DLL it stands in for).
class GameFileScan {
 public:
  explicit GameFileScan(std::wstring gameFolder) : root_(std::move(gameFolder)) {}

  // The walk's visitors: a file `name` in `folder`, a subfolder `name` of
  // `parent`. Most names are turned away before anything else is asked.
  void VisitFile(const std::wstring& folder, const wchar_t* name);
  void VisitFolder(const std::wstring& parent, const wchar_t* name);

  const GameFileFacts& facts() const { return facts_; }
  GameFileFacts TakeFacts() { return std::move(facts_); }
  // The folders, relative to the game folder, that hold a backup folder of
  // a copy of the package, in the order the walk met them.
  std::vector<std::wstring> TakeCopyFolders() { return std::move(copyFolders_); }

 private:
  std::wstring RelativeFolder(const std::wstring& folder) const;

  std::wstring root_;
  GameFileFacts facts_;
  std::vector<std::wstring> copyFolders_;
};

// What one walk of a game folder found.
struct GameFolderWalk {
  uint64_t size = 0;                              // as MeasureFolderSize gives it
  std::vector<ExecutableCandidate> executables;   // as CollectExecutables gives them, when asked for
  GameFileFacts gameFiles;                        // the game's own upscalers and anti-cheat markers
  std::vector<std::wstring> copyFolders;          // where copies of the package keep their backup and record
  std::vector<PeMachine> programMachines;         // of the executables directly in `programFolder`, when asked for
};

// One walk for everything a refresh reads from the whole game folder: the
// size and the facts always, the executables when `collectExecutables`. The
// size and the executables are exactly those of MeasureFolderSize and
// CollectExecutablesAndMeasure. What the last copy of the package wrote is
// still among the facts: DropFilesNotTheGames with the game's record takes
// it out. Once `stop` is set the walk ends early and everything is
// incomplete.
// `programFolder`, when not empty, is a folder of the tree (spelt from
// `gameFolder` on, in any letter case) whose executables' machine types are
// read on the way: what the game runs as, without a listing of its own.
GameFolderWalk WalkGameFolder(const std::wstring& gameFolder, bool collectExecutables,
                              const std::atomic<bool>* stop = nullptr, const std::wstring& programFolder = {});

// Whether two folder texts name the same folder as the walk spells folders:
// letter case and trailing separators aside.
bool SameWalkedFolder(const std::wstring& a, const std::wstring& b);

}  // namespace zrcc
