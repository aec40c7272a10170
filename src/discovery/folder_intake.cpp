#include "discovery/folder_intake.h"

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/drive_rules.h"
#include "core/folder_nesting.h"
#include "core/paths.h"
#include "core/text.h"
#include "discovery/steam_launch.h"
#include "helpers/game_rows.h"
#include "helpers/refresh_pool.h"
#include "platform/background_job.h"
#include "platform/disk.h"
#include "platform/listing.h"

namespace zrcc {

namespace {

std::wstring FullPathName(const std::wstring& path, DWORD capacity, DWORD& needed) {
  std::vector<wchar_t> buffer(capacity, L'\0');
  needed = GetFullPathNameW(path.c_str(), capacity, buffer.data(), nullptr);
  return needed && needed < capacity ? std::wstring(buffer.data(), needed) : std::wstring();
}

// Refuses the picked folder because of a listed game that lies inside it or
// around it. A folder that holds a listed game is a folder of games, not one
// game (its size and executable would be another game's); a folder inside a
// listed game is part of that game.
AddNotice NestedNotice(const std::wstring& picked, const Game& listed) {
  AddNotice notice;
  notice.folder = picked;
  notice.game.path = listed.path;
  notice.game.name = listed.name;
  if (LowerKey(PlainPath(listed.path)) == LowerKey(PlainPath(picked))) {
    notice.refusal = AddRefusal::AlreadyListed;
  } else {
    notice.refusal = IsSameOrInsideFolder(listed.path, picked) ? AddRefusal::HoldsListedGame : AddRefusal::InsideListedGame;
  }
  return notice;
}

void PostRefusal(const JobContext& job, AddSink& sink, AddNotice notice) {
  job.Post([&sink, notice = std::move(notice)] { sink.Refused(notice); });
}

void PostCount(const JobContext& job, HWND listView) {
  job.Post([listView] {
    if (GameRows* rows = RowsOf(listView)) rows->CountChanged();
  });
}

// Hands refreshed games to the UI thread, which appends them with their rows;
// the first may hold no executable, which is said before its row. A close
// while that box is open adds none of them.
void PostGames(const JobContext& job, HWND listView, AddSink& sink, std::vector<Game> games, bool firstHasNoExecutable) {
  job.Post([listView, &sink, games = std::move(games), firstHasNoExecutable]() mutable {
    if (firstHasNoExecutable && !games.empty()) {
      sink.NoExecutable(games.front().path);
      if (CurrentJobStopped()) return;
    }
    AppendGames(listView, std::move(games));
  });
}

bool AddSingleFolder(const JobContext& job, HWND listView, AddSink& sink, ListedFolders& listed,
                     const std::wstring& folder) {
  // A whole drive is no game: its size would be the drive's, and Copy would
  // put the mod into its root.
  if (IsVolumeRoot(folder)) {
    AddNotice notice;
    notice.refusal = AddRefusal::VolumeRoot;
    notice.folder = folder;
    PostRefusal(job, sink, std::move(notice));
    return false;
  }
  if (listed.Contains(folder)) {
    AddNotice notice;
    notice.folder = folder;
    PostRefusal(job, sink, std::move(notice));
    return false;
  }
  const Game* nesting = listed.Inside(folder);
  if (!nesting) nesting = listed.Holding(folder);
  if (nesting) {
    PostRefusal(job, sink, NestedNotice(folder, *nesting));
    return false;
  }
  job.Post([&sink] { sink.Adding(1, 1); });
  Game game;
  game.path = folder;
  bool noExecutable = false;
  RefreshGame(game, true, &noExecutable, job.StopFlag());
  if (job.StopRequested()) return false;  // cut short: a half-walked game is not added
  listed.Add(game);
  PostGames(job, listView, sink, {std::move(game)}, noExecutable);
  return true;
}

bool ScanLibrary(const JobContext& job, HWND listView, AddSink& sink, ListedFolders& listed,
                 const std::wstring& library, const SteamNameMap& names) {
  std::vector<std::wstring> folders;
  if (!LibraryGameFolders(library, folders)) return false;  // unreadable: nothing changes
  if (folders.empty()) {
    PostCount(job, listView);
    AddNotice notice;
    notice.refusal = AddRefusal::LibraryEmpty;
    notice.folder = PlainPath(library);
    PostRefusal(job, sink, std::move(notice));
    return false;
  }
  std::vector<Game> newGames;
  for (std::wstring& folder : folders) {
    if (listed.Contains(folder)) continue;
    Game game;
    game.path = std::move(folder);
    newGames.push_back(std::move(game));
  }
  // Steam's own word on what "Play" starts, where Steam lists the library.
  std::unordered_map<std::wstring, std::wstring> launched;
  for (const SteamLaunchExecutable& launch : SteamLaunchesOfLibrary(library)) {
    launched.emplace(FolderKey(launch.gameFolder), JoinPath(launch.gameFolder, launch.executable));
  }
  std::vector<std::wstring> named(newGames.size());
  for (size_t i = 0; i < newGames.size(); ++i) {
    if (const auto found = launched.find(FolderKey(newGames[i].path)); found != launched.end()) named[i] = found->second;
  }
  // The games are refreshed a few at once and added in listing order, in
  // batches of the games finished meanwhile, each game without executables
  // warned about in turn, before its row.
  OrderedRefresh refresh(
      std::move(newGames),
      [named = std::move(named)](size_t i, Game& game, bool& noExecutable, const std::atomic<bool>* stop) {
        return RefreshGameWithExecutable(game, named[i], &noExecutable, stop);
      },
      job.StopFlag());
  const size_t total = refresh.size();
  if (total > 0) job.Post([&sink, total] { sink.Adding(1, total); });
  bool added = false;
  TakeInOrder(
      job, refresh, [](const RefreshedGame& result) { return result.noExecutable; },
      [&](size_t first, std::vector<RefreshedGame> batch) {
        std::vector<Game> games;
        bool firstHasNoExecutable = false;
        for (RefreshedGame& result : batch) {
          // Two names may normalise to one folder: the first one listed is kept.
          if (listed.Contains(result.game.path)) continue;
          if (games.empty()) firstHasNoExecutable = result.noExecutable;  // only ever the first of a batch
          result.game.name = SteamNameOf(names, result.game.path);
          listed.Add(result.game);
          games.push_back(std::move(result.game));
        }
        added = added || !games.empty();
        PostGames(job, listView, sink, std::move(games), firstHasNoExecutable);
        const size_t next = first + batch.size();
        if (next < total) job.Post([&sink, next, total] { sink.Adding(next + 1, total); });
      });
  PostCount(job, listView);
  if (!added && !job.StopRequested()) {
    AddNotice notice;
    notice.refusal = AddRefusal::LibraryListed;
    notice.folder = library;
    PostRefusal(job, sink, std::move(notice));
  }
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

std::wstring SteamLibraryOf(const std::wstring& folder, SteamNameMap& names) {
  std::wstring library;
  switch (ClassifyPickedFolder(folder)) {
    case FolderKind::SteamApps:
      ReadSteamManifests(folder, names);
      library = JoinPath(folder, L"common");
      break;
    case FolderKind::SteamCommon: {
      // The folder Steam installs the games into: the library's games, not
      // one game of all their sizes.
      ReadSteamManifests(folder.substr(0, folder.size() - LastComponent(folder).size() - 1), names);
      library = folder;
      break;
    }
    case FolderKind::SteamLibraryRoot: {
      const std::wstring steamapps = JoinPath(folder, L"steamapps");
      if (IsExistingDirectory(steamapps)) ReadSteamManifests(steamapps, names);
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

ListedFolders ListedFolders::OfCatalogue() {
  ListedFolders listed;
  for (const Game& game : AllGames()) listed.Add(game);
  return listed;
}

bool ListedFolders::Contains(const std::wstring& path) const { return keys_.count(LowerKey(path)) != 0; }

void ListedFolders::Add(const Game& game) {
  if (!keys_.insert(LowerKey(game.path)).second) return;
  Game listed;
  listed.path = game.path;
  listed.name = game.name;
  games_.push_back(std::move(listed));
}

const Game* ListedFolders::Inside(const std::wstring& folder) const { return FindGameInside(games_, folder); }

const Game* ListedFolders::Holding(const std::wstring& folder) const { return FindGameHolding(games_, folder); }

bool AddFolder(const JobContext& job, HWND listView, AddSink& sink, ListedFolders& listed,
               const std::wstring& pickedFolder) {
  const std::wstring folder = NormalizeFolderPath(pickedFolder);
  if (folder.empty()) return false;
  SteamNameMap names;
  const std::wstring library = SteamLibraryOf(folder, names);
  // The names read stay known to the process, as every library's names do.
  if (!names.empty()) job.PostAlways([names] { RememberSteamNames(names); });
  if (!library.empty()) {
    // A library inside a listed game (a library once added as one game)
    // would list its games twice.
    if (const Game* holding = listed.Holding(library)) {
      PostRefusal(job, sink, NestedNotice(folder, *holding));
      return false;
    }
    return ScanLibrary(job, listView, sink, listed, library, names);
  }
  return AddSingleFolder(job, listView, sink, listed, folder);
}

bool AddGameFolder(HWND listView, AddSink& sink, const std::wstring& pickedFolder) {
  ListedFolders listed = ListedFolders::OfCatalogue();
  bool added = false;
  RunJobHere([&](JobContext& job) { added = AddFolder(job, listView, sink, listed, pickedFolder); });
  return added;
}

bool LaunchAsyncAddGameFolders(HWND listView, AddSink& sink, const std::vector<std::wstring>& folders) {
  if (isLoading()) return false;
  return StartBackgroundJob([listView, &sink, folders, listed = ListedFolders::OfCatalogue()](JobContext& job) mutable {
    bool added = false;
    for (const std::wstring& folder : folders) {
      if (job.StopRequested()) break;
      added = AddFolder(job, listView, sink, listed, folder) || added;
    }
    // Saved at once; a close that stopped the add saves by itself.
    if (added) job.Post([&sink] { sink.SaveAdded(); });
  });
}

}  // namespace zrcc
