// Which entries of the Windows uninstall list are games of a launcher that
// keeps no list of its own: Battle.net's and the Rockstar Games Launcher's,
// known by the uninstall commands those launchers write. Every other program
// of the list is none of ours. Pure text work; reading the list lives in
// discovery/launcher_uninstall_list.
#pragma once

#include <optional>
#include <string>

namespace zrcc {

// The values of one uninstall entry that tell what it is.
struct UninstallEntry {
  std::wstring displayName;
  std::wstring installLocation;
  std::wstring uninstallString;
};

enum class UninstallLauncher { BattleNet, Rockstar };

// A launcher's game recognised in the uninstall list, with the id the
// launcher knows it by (Battle.net's uid, Rockstar's title id).
struct LauncherUninstallGame {
  UninstallLauncher launcher = UninstallLauncher::BattleNet;
  std::wstring id;
};

// Battle.net: an uninstall command that mentions "Battle.net" and passes
// "--uid=<uid>", for a game whose name does not end in "Test" or "Beta"
// (test realms) and that is not the Battle.net app itself. Rockstar: a
// command that runs Launcher.exe or uninstall.exe of a "Rockstar Games"
// folder with "uninstall=<titleId>", for a title other than the launcher
// and Social Club. Nothing for every other entry.
std::optional<LauncherUninstallGame> RecogniseLauncherGame(const UninstallEntry& entry);

}  // namespace zrcc
