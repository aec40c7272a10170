// The catalogue: the program's one list of games, in list-view row order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/deployment_record.h"
#include "core/file_version.h"
#include "core/game_files.h"
#include "core/pe_version.h"

namespace zrcc {

// Whether and how the mod is present in a game's executable folder.
enum class ModState : int32_t { None = 0, Copied = 1, Installed = 2 };

// How a game's executable folder was settled. Not stored in the list file:
// a game read from it is Listed until it is detected again or the user
// chooses, and one kept in its game folder is looked at on its first
// refresh to tell whether an executable was recognised there at all.
enum class ExeChoice : int32_t {
  Listed,       // as read from the list file
  FileName,     // an executable named after the game's path
  ProductName,  // an executable whose product name occurs in the path
  Unreal,       // a packaged Unreal game's real executable behind its launcher
  Fallback,     // recognised where neither name occurs in the path
  None,         // none recognised: the mod goes into the game folder itself
  User,         // the folder the user chose
  Launcher,     // the executable the game's launcher names
};

// The name zrcc-inspect prints: fileName, productName, unreal, fallback,
// none, launcher; listed and user for the two that detection never gives.
const char* ExeChoiceName(ExeChoice choice);

struct Game {
  std::wstring path;         // the game folder, absolute, exactly as added
  std::wstring exeFolder;    // executable folder relative to path; empty: path itself or unknown
  std::wstring sizeText;     // derived on every refresh
  // The byte count the size text was made from (derived, never saved): the
  // "Size" column sorts by it. None until the folder was walked.
  std::optional<uint64_t> sizeBytes;
  std::wstring modVersion;   // FileVersion of the mod DLL in the executable folder
  std::wstring buildVersion; // ProductVersion of that DLL
  std::wstring name;         // product name of the executable, or the Steam name
  ModState modState = ModState::None;
  ExeChoice exeChoice = ExeChoice::Listed;  // derived, never saved
  // Derived: at the last refresh the folder's drive or network share was
  // absent, so nothing else could be read; the game is kept as stored.
  bool driveAbsent = false;
  // The fixed version of that DLL: the one that says which is newer. None
  // when there is no mod or its version cannot be read.
  std::optional<FileVersionNumbers> modFileVersion;
  // What became of the files the last copy of the package wrote, and where
  // its record lies relative to `path`: the executable folder, or another
  // folder when the executable folder changed after the copy (derived).
  DeploymentHealth deployment;
  std::wstring copyFolder;
  // Derived, never saved: the upscalers and anti-cheat markers the last walk
  // of the game folder found among the game's own files.
  GameFileFacts gameFiles;
  // Derived, never saved: what the programs of the executable folder run as
  // (ProgramMachine); the package's DLL loads only into a 64-bit one.
  PeMachine exeMachine = PeMachine::Unknown;
};

// Games by value; game i is list-view row i. pathKeys holds the lower-cased
// path of every game, so a folder is listed at most once whatever its case.
struct GameList {
  std::vector<Game> games;
  std::unordered_set<std::wstring> pathKeys;
};

// The one catalogue of the process belongs to the UI thread (owner_thread.h):
// every routine below checks that it runs there. Background work is handed
// copies of games and hands refreshed copies back.

// The game at `index`, or null when the index is outside the catalogue. The
// pointer is valid until the next change of the list.
Game* GetGame(int32_t index);
int32_t GameCount();
// Every game, in list order.
const std::vector<Game>& AllGames();
bool ContainsPath(const std::wstring& path);
// Callers test ContainsPath first; a second game with a known key is not added.
void AddGame(Game game);
void ReserveGames(size_t count);
bool RemoveGameAt(int32_t index);
void ClearGames();
// How many path keys the catalogue holds (one per game).
size_t PathKeyCount();

// "Copied", "Installed", or "" for every other value. The deployment buttons
// read these texts back from the list, so they must stay exactly these.
std::wstring ModStateText(ModState state);

// Reports a broken internal invariant (a catalogue index that must be in
// range) and stops the program. The file, line and routine are those of the
// call, filled in by the compiler.
[[noreturn]] void BrokenInvariant(const char* message, const char* sourceFile = __builtin_FILE(),
                                  int line = __builtin_LINE(), const char* routine = __builtin_FUNCTION());

}  // namespace zrcc
