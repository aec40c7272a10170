// Turning a folder the user picked into games: one game folder, or every
// game of a Steam library, named from the library's app manifests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/catalogue.h"
#include "platform/background_job.h"

namespace zrcc {

// The full path of `path`, without a trailing backslash except for a drive
// root; long paths come back in the "\\?\" form. Empty when unusable.
std::wstring NormalizeFolderPath(const std::wstring& path);

// How a picked folder is taken, from its last path components alone: a
// library's steamapps folder, its steamapps\common folder (whose subfolders
// are its games), a library root, or one game.
enum class FolderKind { SteamApps, SteamCommon, SteamLibraryRoot, Single };
FolderKind ClassifyFolderName(const std::wstring& normalisedPath);

// How a picked folder is taken: by its name, and a folder named otherwise
// (E:\Games) that directly holds steamapps\common is a library root all the
// same. A game folder never holds that.
FolderKind ClassifyPickedFolder(const std::wstring& normalisedPath);

// The games folder (steamapps\common) of the Steam library that the
// normalised `folder` stands for, by ClassifyPickedFolder, with the library's
// app manifests read into SteamGameNames; empty when the folder is taken as
// one game folder.
std::wstring SteamLibraryOf(const std::wstring& folder);

// The game folders of a library's steamapps\common, normalised, in listing
// order; false when it cannot be listed.
bool LibraryGameFolders(const std::wstring& library, std::vector<std::wstring>& folders);

// "Adding 3 of 12..." in the status bar.
void ShowAddingProgress(size_t adding, size_t total);

// Appends refreshed games on the UI thread, each with its row first, then
// its place in the catalogue, painted and counted at once. The job that adds
// waits meanwhile, so row i and game i never part.
void AppendGames(HWND listView, const std::vector<Game>& games, BatchPacer& pacer);

// Adds the game or games of the picked folder: rows at the end of the list,
// games at the end of the catalogue, the count in the status bar ("Adding 3
// of 12..." while it works). Folders already listed, a folder that holds a
// listed game or lies inside one, and a library inside a listed game are
// refused with a warning that names that game. True when a game was added. Runs on the calling thread: a job
// thread (see LaunchAsyncAddGameFolder), or the UI thread itself; the rows,
// the catalogue and the boxes are always dealt with on the UI thread.
bool AddGameFolder(HWND listView, const std::wstring& pickedFolder);

// AddGameFolder on a job thread (background_job.h), into the main window's
// list, while the window stays responsive and refuses other commands; when
// a game was added, data.ini is saved before the job ends. False when a job
// is already running. UI thread only.
bool LaunchAsyncAddGameFolder(const std::wstring& pickedFolder);
// The same for several folders, added one after another in this order.
bool LaunchAsyncAddGameFolders(const std::vector<std::wstring>& folders);

}  // namespace zrcc
