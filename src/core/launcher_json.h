// The JSON files some launchers keep about installed games: the lists of
// Heroic and legendary (installed.json) and the Amazon Games launcher's
// per-game fuel.json. Read with the project's JSON library, as outside
// input. Finding the files lives in discovery/launcher_heroic and
// discovery/launcher_amazon.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// One installed game of a Heroic or legendary list.
struct ListedGame {
  std::wstring title;        // the launcher's name; may be empty
  std::wstring installPath;  // the game folder, as written; never empty
  std::wstring executable;   // as written (relative, either slash); may be empty
};

// The Windows games of an installed.json, in file order, in any of the
// layouts these launchers write: an object of games keyed by app name
// (legendary, and Heroic's copy of it), an object with an "installed" array
// (Heroic's GOG list) or an array of games. A game names its folder by
// "install_path" (or "path"), its name by "title" (else "app_name",
// "appName", "id"), its executable by "executable"; DLC ("is_dlc") and games
// for another "platform" are left out, as are games whose texts hold a NUL.
// Nothing when the bytes are no JSON of these layouts.
std::optional<std::vector<ListedGame>> ReadInstalledGames(std::string_view bytes);

// "Main"."Command" of a fuel.json: the game's executable as the Amazon
// launcher starts it, relative to the game folder. Nothing when the bytes
// are no JSON object, name no such text, or it holds a NUL.
std::optional<std::wstring> ReadFuelCommand(std::string_view bytes);

}  // namespace zrcc
