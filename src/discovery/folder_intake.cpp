#include "discovery/folder_intake.h"

#include <commctrl.h>

#include <unordered_set>
#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/folder_nesting.h"
#include "core/paths.h"
#include "core/text.h"
#include "deploy/exe_detection.h"
#include "discovery/steam_manifests.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "helpers/refresh_pool.h"
#include "platform/app_state.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/disk.h"
#include "platform/listing.h"

namespace zrcc {

namespace {

constexpr wchar_t kDuplicateCaption[] = L"Duplicate";
constexpr wchar_t kLibraryAlreadyListed[] = L"All Steam games from this folder are already in the list.";
constexpr wchar_t kFolderAlreadyListed[] = L"This folder is already in the list.";
constexpr wchar_t kNoGamesCaption[] = L"No games found";

std::wstring FullPathName(const std::wstring& path, DWORD capacity, DWORD& needed) {
  std::vector<wchar_t> buffer(capacity, L'\0');
  needed = GetFullPathNameW(path.c_str(), capacity, buffer.data(), nullptr);
  return needed && needed < capacity ? std::wstring(buffer.data(), needed) : std::wstring();
}

void Warn(const std::wstring& text, const wchar_t* caption = kDuplicateCaption) {
  ShowMessageBox(nullptr, text, caption, MB_ICONWARNING | MB_OK);
}

// Refuses the picked folder because of a listed game that lies inside it or
// around it, naming that game. A folder that holds a listed game is a
// folder of games, not one game (its size and executable would be another
// game's); a folder inside a listed game is part of that game.
void WarnNested(const std::wstring& picked, const Game& listed) {
  if (LowerKey(PlainPath(listed.path)) == LowerKey(PlainPath(picked))) {
    Warn(kFolderAlreadyListed);
    return;
  }
  const std::wstring game = listed.name.empty() ? listed.path : listed.name + L"\n" + listed.path;
  Warn(IsSameOrInsideFolder(listed.path, picked) ? L"This folder holds a game that is already in the list:\n" + game
                                                 : L"This folder lies inside a game that is already in the list:\n" + game);
}

bool AddSingleFolder(HWND listView, const std::wstring& folder) {
  if (ContainsPath(folder)) {
    Warn(kFolderAlreadyListed);
    return false;
  }
  const Game* nesting = FindGameInside(gGameList.games, folder);
  if (!nesting) nesting = FindGameHolding(gGameList.games, folder);
  if (nesting) {
    WarnNested(folder, *nesting);
    return false;
  }
  ShowAddingProgress(1, 1);
  Game game;
  game.path = folder;
  bool noExecutable = false;
  RefreshGameQuietly(game, true, noExecutable, StopRequest());
  if (StopRequested()) return false;  // cut short: a half-walked game is not added
  if (noExecutable) WarnNoExecutable(game.path);
  if (StopRequested()) return false;  // closed while the warning was open
  BatchPacer pacer;
  AppendGames(listView, {game}, pacer);
  return true;
}

bool ScanLibrary(HWND listView, const std::wstring& library) {
  std::vector<std::wstring> folders;
  if (!LibraryGameFolders(library, folders)) return false;  // unreadable: nothing changes
  if (folders.empty()) {
    UpdateGameCountText();
    Warn(L"This Steam library has no installed games:\n" + PlainPath(library), kNoGamesCaption);
    return false;
  }
  std::vector<Game> newGames;
  for (std::wstring& folder : folders) {
    if (ContainsPath(folder)) continue;
    Game game;
    game.path = std::move(folder);
    newGames.push_back(std::move(game));
  }
  // The games are refreshed a few at once; this thread then adds them in
  // listing order, in batches of the games finished meanwhile, warning about
  // each game without executables in turn, before its row.
  OrderedRefresh refresh(std::move(newGames), true, StopRequest());
  BatchPacer pacer;
  bool added = false;
  size_t next = 0;
  if (refresh.size() > 0) ShowAddingProgress(1, refresh.size());
  while (next < refresh.size()) {
    RefreshedGame* refreshed = refresh.Take(next);
    if (!refreshed) break;  // stopped: the games added so far stay
    pacer.WaitForTurn();
    if (StopRequested()) break;
    std::vector<Game> batch;
    std::unordered_set<std::wstring> batchKeys;
    do {
      Game& game = refreshed->game;
      // Two names may normalise to one folder: the first one listed is kept.
      if (!ContainsPath(game.path) && batchKeys.insert(LowerKey(game.path)).second) {
        if (refreshed->noExecutable) WarnNoExecutable(game.path);  // only ever the first of a batch
        game.name = SteamNameOf(game.path);
        batch.push_back(std::move(game));
      }
      ++next;
      refreshed = next < refresh.size() ? refresh.TryTake(next) : nullptr;
    } while (refreshed && !refreshed->noExecutable);
    if (StopRequested()) break;  // closed while a warning was open: this batch is not added
    AppendGames(listView, batch, pacer);
    if (next < refresh.size()) ShowAddingProgress(next + 1, refresh.size());
    added = added || !batch.empty();
  }
  UpdateGameCountText();
  if (!added && !StopRequested()) Warn(kLibraryAlreadyListed);
  return added;
}

}  // namespace

std::wstring NormalizeFolderPath(const std::wstring& path) {
  if (path.empty()) return {};
  // The system resolves a path ending in a device name ("...\COM1", "...\nul")
  // to that device. A folder of that name is meant here, so its parent is
  // resolved and the name put back after it.
  const std::wstring last = LastComponent(path);
  if (IsDeviceName(last) && last.size() < path.size()) {
    const std::wstring parent = NormalizeFolderPath(path.substr(0, path.size() - last.size()));
    if (parent.empty()) return {};
    const std::wstring joined = JoinPath(parent, last);
    return joined.size() < kClassicPathLimit ? joined : ExtendedLengthPath(joined);
  }
  DWORD needed = 0;
  std::wstring full = FullPathName(path, MAX_PATH, needed);
  if (needed == 0) return {};
  if (full.empty()) {
    // Longer than the classic limit: resolved again with room for any
    // length, then given the long form that such paths need on every file
    // call ("\\?\D:\..." or, for a network share, "\\?\UNC\server\share\...").
    full = FullPathName(path, 0x8000, needed);
    if (full.empty()) return {};
    full = ExtendedLengthPath(full);
  }
  if (full.size() > 3 && full.back() == L'\\') full.pop_back();
  // What still names a device ("\\.\COM1") is no folder.
  if (full.rfind(L"\\\\.\\", 0) == 0) return {};
  return full;
}

FolderKind ClassifyFolderName(const std::wstring& normalisedPath) {
  const std::wstring last = LowerKey(LastComponent(normalisedPath));
  if (last == L"steamapps") return FolderKind::SteamApps;
  if (last == L"common") {
    const std::wstring_view path = normalisedPath;
    if (LowerKey(LastComponent(path.substr(0, path.size() - last.size() - 1))) == L"steamapps") {
      return FolderKind::SteamCommon;
    }
  }
  if (last.find(L"steam") != std::wstring::npos) return FolderKind::SteamLibraryRoot;
  return FolderKind::Single;
}

FolderKind ClassifyPickedFolder(const std::wstring& normalisedPath) {
  const FolderKind byName = ClassifyFolderName(normalisedPath);
  if (byName != FolderKind::Single) return byName;
  return IsExistingDirectory(JoinPath(JoinPath(normalisedPath, L"steamapps"), L"common")) ? FolderKind::SteamLibraryRoot
                                                                                         : FolderKind::Single;
}

std::wstring SteamLibraryOf(const std::wstring& folder) {
  std::wstring library;
  switch (ClassifyPickedFolder(folder)) {
    case FolderKind::SteamApps:
      ReadSteamManifests(folder);
      library = JoinPath(folder, L"common");
      break;
    case FolderKind::SteamCommon: {
      // The folder Steam installs the games into: the library's games, not
      // one game of all their sizes.
      ReadSteamManifests(folder.substr(0, folder.size() - LastComponent(folder).size() - 1));
      library = folder;
      break;
    }
    case FolderKind::SteamLibraryRoot: {
      const std::wstring steamapps = JoinPath(folder, L"steamapps");
      if (IsExistingDirectory(steamapps)) ReadSteamManifests(steamapps);
      library = JoinPath(steamapps, L"common");
      break;
    }
    case FolderKind::Single:
      break;
  }
  return !library.empty() && IsExistingDirectory(library) ? library : std::wstring();
}

bool LibraryGameFolders(const std::wstring& library, std::vector<std::wstring>& folders) {
  return ForEachEntry(library, [&](const WIN32_FIND_DATAW& entry) {
           if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
           std::wstring folder = NormalizeFolderPath(JoinPath(library, entry.cFileName));
           if (!folder.empty()) folders.push_back(std::move(folder));
         }).Listed();
}

void ShowAddingProgress(size_t adding, size_t total) {
  const std::wstring text = L"Adding " + std::to_wstring(adding) + L" of " + std::to_wstring(total) + L"...";
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void AppendGames(HWND listView, const std::vector<Game>& games, BatchPacer& pacer) {
  RunStepsOnUiThread(games.size(), [&games](size_t i) { AddGame(games[i]); }, pacer, [listView] {
    ShowGameRows(listView, GameCount());
    UpdateWindow(listView);
    UpdateGameCountText();
  });
}

bool AddGameFolder(HWND listView, const std::wstring& pickedFolder) {
  const std::wstring folder = NormalizeFolderPath(pickedFolder);
  if (folder.empty()) return false;
  const std::wstring library = SteamLibraryOf(folder);
  if (!library.empty()) {
    // A library inside a listed game (a library once added as one game)
    // would list its games twice.
    if (const Game* holding = FindGameHolding(gGameList.games, library)) {
      WarnNested(folder, *holding);
      return false;
    }
    return ScanLibrary(listView, library);
  }
  return AddSingleFolder(listView, folder);
}

}  // namespace zrcc

namespace zrcc {

bool LaunchAsyncAddGameFolder(const std::wstring& pickedFolder) {
  return LaunchAsyncAddGameFolders({pickedFolder});
}

bool LaunchAsyncAddGameFolders(const std::vector<std::wstring>& folders) {
  const HWND listView = gListView;
  return StartBackgroundJob([listView, folders] {
    bool added = false;
    for (const std::wstring& folder : folders) {
      if (StopRequested()) break;
      added = AddGameFolder(listView, folder) || added;
    }
    // Saved at once, so that a crash or a kill later loses none of the new
    // games; a close that stopped the add saves by itself.
    if (added && !StopRequested()) SaveData();
  });
}

}  // namespace zrcc
