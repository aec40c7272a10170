#include "discovery/launchers.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_set>
#include <utility>

#include "core/launcher_files.h"
#include "core/paths.h"
#include "core/text.h"
#include "discovery/folder_intake.h"
#include "discovery/steam_manifests.h"
#include "platform/disk.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/registry.h"

namespace zrcc {

namespace {

constexpr wchar_t kEpicManifestFolder[] = L"Epic\\EpicGamesLauncher\\Data\\Manifests";
constexpr wchar_t kGogGamesKey[] = L"SOFTWARE\\WOW6432Node\\GOG.com\\Games";

// Why a folder a launcher names is not searched, or empty when it is. A
// share is never walked (it may be down and hold every call for a minute),
// a drive letter with nothing behind it is a drive that is not plugged in.
std::wstring FolderProblem(const std::wstring& folder) {
  if (IsNetworkPath(folder)) return L"network folder";
  const std::wstring plain = PlainPath(folder);
  const bool driveAbsolute = plain.size() >= 3 && plain[1] == L':' && (plain[2] == L'\\' || plain[2] == L'/');
  if (!driveAbsolute) return L"not a full path";
  const std::wstring root = plain.substr(0, 2) + L"\\";
  if (GetDriveTypeW(root.c_str()) == DRIVE_REMOTE) return L"network folder";
  if (!IsExistingDirectory(root)) return L"drive not present";
  if (!IsExistingDirectory(folder)) return L"folder not found";
  return {};
}

// The normalised folder, or empty with the reason added to `skipped`.
std::wstring UsableFolder(const std::wstring& folder, const std::wstring& what, std::vector<FindSkip>& skipped) {
  std::wstring problem = FolderProblem(folder);
  const std::wstring normalised = problem.empty() ? NormalizeFolderPath(folder) : std::wstring();
  if (problem.empty() && normalised.empty()) problem = L"folder not found";
  if (!problem.empty()) skipped.push_back({what, problem});
  return normalised;
}

// A launcher file read whole, or nothing with the reason in `skipped`; a
// missing file is no fault (the launcher has not written it).
std::optional<std::string> ReadLauncherFile(const std::wstring& path, const std::wstring& what,
                                            std::vector<FindSkip>& skipped) {
  std::string bytes;
  switch (ReadWholeFile(path, bytes, kMaxLauncherFileBytes)) {
    case FileRead::Read: return bytes;
    case FileRead::Missing: return std::nullopt;
    case FileRead::Unreadable: skipped.push_back({what, L"cannot be read"}); return std::nullopt;
    case FileRead::TooLarge: skipped.push_back({what, L"too large"}); return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::wstring> SteamInstallation() {
  for (const auto& [root, key, name] : {std::tuple{HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath"},
                                        std::tuple{HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Valve\\Steam",
                                                   L"InstallPath"}}) {
    std::optional<std::wstring> path = ReadRegistryText(root, key, name);
    if (path && !TrimBlanks(*path).empty()) return path;
  }
  return std::nullopt;
}

// Every library the installation's libraryfolders.vdf names, then the
// installation itself, which holds a library of its own (Steam lists it
// too; the repeat is left out with the others).
std::vector<std::wstring> SteamLibraryRoots(const std::wstring& installation, std::vector<FindSkip>& skipped) {
  std::vector<std::wstring> roots;
  const std::wstring list = JoinPath(installation, L"steamapps\\libraryfolders.vdf");
  const std::wstring what = L"Steam library list " + list;
  if (const std::optional<std::string> bytes = ReadLauncherFile(list, what, skipped)) {
    if (std::optional<std::vector<std::wstring>> folders = ReadLibraryFolders(*bytes)) {
      roots = std::move(*folders);
    } else {
      skipped.push_back({what, L"not understood"});
    }
  }
  roots.push_back(installation);
  return roots;
}

void SearchSteam(GameSearch& search) {
  const std::optional<std::wstring> installation = SteamInstallation();
  if (!installation) return;
  // Its list of libraries is not even read from a share or a drive that is gone.
  if (const std::wstring problem = FolderProblem(*installation); !problem.empty()) {
    search.skipped.push_back({L"Steam installation " + *installation, problem});
    return;
  }
  // A library named twice, in any spelling, is searched (or skipped) once.
  std::unordered_set<std::wstring> seen;
  for (const std::wstring& root : SteamLibraryRoots(*installation, search.skipped)) {
    const std::wstring spelling = NormalizeFolderPath(root);
    if (!seen.insert(LowerKey(spelling.empty() ? root : spelling)).second) continue;
    const std::wstring folder = UsableFolder(root, L"library " + root, search.skipped);
    if (folder.empty()) continue;
    // Add Dir's own reading of a library: its manifests, then its games.
    const std::wstring library = SteamLibraryOf(folder);
    if (library.empty() || !seen.insert(LowerKey(library)).second) continue;
    std::vector<std::wstring> games;
    if (!LibraryGameFolders(library, games)) {
      search.skipped.push_back({L"library " + root, L"cannot be read"});
      continue;
    }
    for (std::wstring& game : games) {
      std::wstring name = SteamNameOf(game);
      search.games.push_back({GameSource::Steam, std::move(game), std::move(name), {}});
    }
  }
}

std::wstring ProgramDataFolder() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path)) && path) folder = path;
  CoTaskMemFree(path);
  return folder;
}

bool IsEpicManifestName(const wchar_t* name) {
  const std::wstring key = LowerKey(name);
  return key.size() > 5 && key.ends_with(L".item");
}

void SearchEpic(GameSearch& search) {
  const std::wstring programData = ProgramDataFolder();
  if (programData.empty()) return;
  const std::wstring folder = JoinPath(programData, kEpicManifestFolder);
  std::vector<std::wstring> names;
  ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsEpicManifestName(entry.cFileName)) {
      names.push_back(entry.cFileName);
    }
  });
  std::sort(names.begin(), names.end());  // the same order on every file system
  for (const std::wstring& name : names) {
    const std::wstring what = L"Epic manifest " + name;
    const std::optional<std::string> bytes = ReadLauncherFile(JoinPath(folder, name), what, search.skipped);
    if (!bytes) continue;
    const std::optional<EpicManifest> manifest = ReadEpicManifest(*bytes);
    if (!manifest) {
      search.skipped.push_back({what, L"not understood"});
      continue;
    }
    const std::wstring title = manifest->displayName.empty() ? name : manifest->displayName;
    const std::wstring path = UsableFolder(manifest->installLocation, L"Epic game " + title, search.skipped);
    if (path.empty()) continue;
    search.games.push_back({GameSource::Epic, path, manifest->displayName,
                            LauncherExecutableBelow(path, manifest->launchExecutable).value_or(L"")});
  }
}

void SearchGog(GameSearch& search) {
  for (const std::wstring& id : RegistrySubkeys(HKEY_LOCAL_MACHINE, kGogGamesKey)) {
    const std::wstring key = JoinPath(kGogGamesKey, id);
    const std::wstring name = ReadRegistryText(HKEY_LOCAL_MACHINE, key, L"gameName").value_or(L"");
    const std::wstring folder = ReadRegistryText(HKEY_LOCAL_MACHINE, key, L"path").value_or(L"");
    const std::wstring what = L"GOG game " + (name.empty() ? id : name);
    if (TrimBlanks(folder).empty()) {
      search.skipped.push_back({what, L"no folder named"});
      continue;
    }
    const std::wstring path = UsableFolder(folder, what, search.skipped);
    if (path.empty()) continue;
    const std::wstring exe = ReadRegistryText(HKEY_LOCAL_MACHINE, key, L"exe").value_or(L"");
    search.games.push_back({GameSource::Gog, path, name, LauncherExecutableBelow(path, exe).value_or(L"")});
  }
}

}  // namespace

const wchar_t* GameSourceName(GameSource source) {
  switch (source) {
    case GameSource::Steam: return L"Steam";
    case GameSource::Epic: return L"Epic";
    case GameSource::Gog: return L"GOG";
    case GameSource::Xbox: return L"Xbox";
    case GameSource::Ea: return L"EA";
    case GameSource::Ubisoft: return L"Ubisoft";
    case GameSource::BattleNet: return L"Battle.net";
    case GameSource::Rockstar: return L"Rockstar";
    case GameSource::Amazon: return L"Amazon";
    case GameSource::Heroic: return L"Heroic";
    case GameSource::Legendary: return L"legendary";
  }
  return L"";
}

GameSearch SearchLaunchers(const std::function<void(const std::wstring&)>& status) {
  GameSearch search;
  status(L"Searching Steam libraries...");
  SearchSteam(search);
  status(L"Searching Epic games...");
  SearchEpic(search);
  status(L"Searching GOG games...");
  SearchGog(search);
  // One row per game folder, whichever launchers name it and however.
  std::vector<std::wstring> paths;
  paths.reserve(search.games.size());
  for (const FoundGame& game : search.games) paths.push_back(game.path);
  std::vector<FoundGame> distinct;
  for (const size_t i : OutermostFolders(paths)) distinct.push_back(std::move(search.games[i]));
  search.games = std::move(distinct);
  return search;
}

}  // namespace zrcc
