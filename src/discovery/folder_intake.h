// Turning a folder the user picked into games: one game folder, or every
// game of a Steam library, named from the library's app manifests.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "core/catalogue.h"
#include "discovery/steam_manifests.h"
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
// app manifests read into `names`; empty when the folder is taken as one game
// folder.
std::wstring SteamLibraryOf(const std::wstring& folder, SteamNameMap& names);

// The game folders of a library's steamapps\common, normalised, in listing
// order; false when it cannot be listed.
bool LibraryGameFolders(const std::wstring& library, std::vector<std::wstring>& folders);

// The games listed when a job starts, as it is handed them: their folders and
// names. A job adds the games it adds itself, so that it never adds one twice.
class ListedFolders {
 public:
  // A copy of the catalogue's folders and names. UI thread.
  static ListedFolders OfCatalogue();
  bool Contains(const std::wstring& path) const;
  void Add(const Game& game);
  // The first listed game below `folder`, or holding it (see folder_nesting.h).
  const Game* Inside(const std::wstring& folder) const;
  const Game* Holding(const std::wstring& folder) const;

 private:
  std::vector<Game> games_;  // path and name only
  std::unordered_set<std::wstring> keys_;
};

// Why Add Dir adds nothing of a picked folder.
enum class AddRefusal {
  AlreadyListed,     // the folder is a listed game
  HoldsListedGame,   // it holds a listed game (`game`)
  InsideListedGame,  // it lies inside a listed game (`game`)
  LibraryListed,     // every game of the library is listed already
  LibraryEmpty,      // the library (`folder`: its games folder) holds no game
  VolumeRoot,        // the folder is a drive's or a share's root: no game folder
};
struct AddNotice {
  AddRefusal refusal = AddRefusal::AlreadyListed;
  std::wstring folder;
  Game game;  // the listed game in the way (path and name), where there is one
};

// What the window does for an add besides the catalogue and the rows: the
// boxes and the progress, in the add's order. UI thread.
class AddSink {
 public:
  virtual ~AddSink() = default;
  virtual void Refused(const AddNotice& notice) = 0;
  // The game at `gamePath` holds no executable at all (said before its row).
  virtual void NoExecutable(const std::wstring& gamePath) = 0;
  // "Adding 3 of 12...".
  virtual void Adding(size_t adding, size_t total) = 0;
  // Games were added: the list is saved at once, so that a crash or a kill
  // later loses none of them.
  virtual void SaveAdded() = 0;
};

// The work of an add, as a job runs it (or the UI thread, for the tests):
// adds the game or games of the picked folder, rows at the end of the list
// of `listView`, games at the end of the catalogue. Folders already listed, a
// folder that holds a listed game or lies inside one, and a library inside a
// listed game are refused (AddSink::Refused). True when a game was added.
// `listed` is what is listed, and grows with what this adds.
bool AddFolder(const JobContext& job, HWND listView, AddSink& sink, ListedFolders& listed,
               const std::wstring& pickedFolder);

// AddFolder run on the UI thread itself, its results applied at once: the
// whole add in one call, for the tests.
bool AddGameFolder(HWND listView, AddSink& sink, const std::wstring& pickedFolder);

// The add as the one background job, for the folders in this order, while
// the window stays responsive and refuses other commands; when a game was
// added, the list is saved (AddSink::SaveAdded) as the job ends. False when a
// job is already running. UI thread only; `sink` must live until it ends.
bool LaunchAsyncAddGameFolders(HWND listView, AddSink& sink, const std::vector<std::wstring>& folders);

}  // namespace zrcc
