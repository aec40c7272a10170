// The rules of "Find Games on This PC" that need no disk: where a launcher's
// executable lies below its game folder, which found folders are one game,
// and the one summary at the end. Platform-free.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// The executable a launcher names for a game, relative to the game folder
// ("bin\x64\game.exe"): `named` is relative to the folder (Epic, either
// slash) or absolute (GOG). Nothing when it is empty, names the folder
// itself, or leaves it (another folder, "..").
std::optional<std::wstring> LauncherExecutableBelow(std::wstring_view gameFolder, std::wstring_view named);

// A game folder as a launcher's file or registry value names it, in the
// program's spelling: blanks trimmed, forward slashes (Ubisoft writes them)
// made backslashes, a trailing separator dropped (but a drive root's).
// Nothing when it cannot name a folder of a drive or share: relative, empty,
// holding a NUL or a colon past the drive's (a stream), or longer than any
// path.
std::optional<std::wstring> LauncherFolderPath(std::wstring_view named);

// Indices, in order, of the folders that stand for a game of their own: the
// first of folders that are the same whatever their letter case or spelling
// (long form, trailing separator), and none that lies inside another folder
// of the list (a launcher naming a game's subfolder, a library inside
// another). Empty texts stand for nothing.
std::vector<size_t> OutermostFolders(const std::vector<std::wstring>& folders);

// The launchers whose lists "Find Games on This PC" reads.
enum class GameSource { Steam, Epic, Gog, Xbox, Ea, Ubisoft, BattleNet, Rockstar, Amazon, Heroic, Legendary };
inline constexpr size_t kGameSourceCount = static_cast<size_t>(GameSource::Legendary) + 1;

// "Steam", "Epic", "GOG", "Xbox", "EA", "Ubisoft", "Battle.net",
// "Rockstar", "Amazon", "Heroic", "legendary".
const wchar_t* GameSourceName(GameSource source);

// The status text while a launcher's list is read: "Searching Steam
// libraries...", "Searching Xbox games...".
std::wstring SearchingText(GameSource source);

// What became of the games found, for the summary.
struct FindTally {
  size_t added = 0;
  // Of those added, how many each launcher named, in the order of
  // GameSource; the summary names the launchers that added any.
  std::array<size_t, kGameSourceCount> addedFrom{};
  size_t alreadyListed = 0;
  size_t noExecutable = 0;  // not added: nothing to deploy into
  size_t cannotBeChanged = 0;  // not added: in a folder the system protects (Store games under WindowsApps)
};

// What of a launcher's list was passed over.
enum class SkipItem {
  SteamInstallation,  // the folder the registry names
  SteamLibraryList,   // steamapps\libraryfolders.vdf
  SteamLibrary,       // a library folder
  LauncherFile,       // one of a launcher's files about one game (an Epic manifest, a game's installer data)
  LauncherList,       // a launcher's list of its games or libraries (a .GamingRoot, installed.json, an SQLite list)
  LauncherGame,       // a game a launcher names
};

// Why it was passed over.
enum class SkipReason {
  NetworkFolder,   // shares are never walked: one that is down holds every call for a minute
  NotAFullPath,
  DriveNotPresent,
  FolderNotFound,
  CannotBeRead,
  TooLarge,
  NotUnderstood,
  NoFolderNamed,
  VolumeRoot,      // a drive's or a share's root: never one game, and never a folder to copy the mod into
  Locked,          // the launcher is writing it: waited for a moment, then passed over
  Damaged,         // cut short or damaged: what came before the damage was read
};

// A library, manifest or launcher entry that was passed over, and why: the
// library E:\SteamLibrary, drive not present. `name` is the folder, the file
// or the game's name as the launcher gives it.
struct FindSkip {
  SkipItem item = SkipItem::LauncherGame;
  GameSource source = GameSource::Steam;
  std::wstring name;
  SkipReason reason = SkipReason::FolderNotFound;
};

// "library E:\SteamLibrary", "drive not present", and both as the summary
// names them: "library E:\SteamLibrary (drive not present)".
std::wstring FindSkipSubject(const FindSkip& skip);
const wchar_t* SkipReasonText(SkipReason reason);
std::wstring FindSkipText(const FindSkip& skip);

// "Found 143 games: 37 added, 104 already in the list, 2 without an
// executable, 1 that cannot be changed. Skipped: library E:\SteamLibrary (drive not present)." Long
// lists of skips end with how many more there were.
std::wstring FindSummaryText(const FindTally& tally, const std::vector<FindSkip>& skipped);

}  // namespace zrcc
