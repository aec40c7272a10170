#include "discovery/launchers.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_set>
#include <utility>

#include "core/drive_rules.h"
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

// Why a folder a launcher names is not searched, or nothing when it is. A
// share is never walked (it may be down and hold every call for a minute),
// a drive letter with nothing behind it is a drive that is not plugged in.
std::optional<SkipReason> FolderProblem(const std::wstring& folder) {
  if (IsNetworkPath(folder)) return SkipReason::NetworkFolder;
  const std::wstring plain = PlainPath(folder);
  const bool driveAbsolute = plain.size() >= 3 && plain[1] == L':' && (plain[2] == L'\\' || plain[2] == L'/');
  if (!driveAbsolute) return SkipReason::NotAFullPath;
  const std::wstring root = plain.substr(0, 2) + L"\\";
  if (GetDriveTypeW(root.c_str()) == DRIVE_REMOTE) return SkipReason::NetworkFolder;
  if (!IsExistingDirectory(root)) return SkipReason::DriveNotPresent;
  if (!IsExistingDirectory(folder)) return SkipReason::FolderNotFound;
  return std::nullopt;
}

// The normalised folder, or empty with the reason added to `skipped`. A
// game's folder is never a drive's root, however the launcher spells it
// ("C:\", "C:\Games\..", "\\?\C:\"): that would be every game of the drive
// in one, and the mod copied into the root.
std::wstring UsableFolder(const std::wstring& folder, FindSkip what, std::vector<FindSkip>& skipped) {
  std::optional<SkipReason> problem = FolderProblem(folder);
  const std::wstring normalised = problem ? std::wstring() : NormalizeFolderPath(folder);
  if (!problem && normalised.empty()) problem = SkipReason::FolderNotFound;
  if (!problem && what.item == SkipItem::LauncherGame && IsVolumeRoot(normalised)) problem = SkipReason::VolumeRoot;
  if (problem) {
    what.reason = *problem;
    skipped.push_back(std::move(what));
  }
  return normalised;
}

FindSkip Skip(SkipItem item, GameSource source, std::wstring name, SkipReason reason = SkipReason::FolderNotFound) {
  return {item, source, std::move(name), reason};
}

// A launcher file read whole, or nothing with the reason in `skipped`; a
// missing file is no fault (the launcher has not written it).
std::optional<std::string> ReadLauncherFile(const std::wstring& path, FindSkip what, std::vector<FindSkip>& skipped) {
  std::string bytes;
  switch (ReadWholeFile(path, bytes, kMaxLauncherFileBytes)) {
    case FileRead::Read: return bytes;
    case FileRead::Missing: return std::nullopt;
    case FileRead::Unreadable: what.reason = SkipReason::CannotBeRead; break;
    case FileRead::TooLarge: what.reason = SkipReason::TooLarge; break;
  }
  skipped.push_back(std::move(what));
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
  const FindSkip what = Skip(SkipItem::SteamLibraryList, GameSource::Steam, list);
  if (const std::optional<std::string> bytes = ReadLauncherFile(list, what, skipped)) {
    if (std::optional<std::vector<std::wstring>> folders = ReadLibraryFolders(*bytes)) {
      roots = std::move(*folders);
    } else {
      skipped.push_back(Skip(SkipItem::SteamLibraryList, GameSource::Steam, list, SkipReason::NotUnderstood));
    }
  }
  roots.push_back(installation);
  return roots;
}

void SearchSteam(GameSearch& search) {
  const std::optional<std::wstring> installation = SteamInstallation();
  if (!installation) return;
  // Its list of libraries is not even read from a share or a drive that is gone.
  if (const std::optional<SkipReason> problem = FolderProblem(*installation)) {
    search.skipped.push_back(Skip(SkipItem::SteamInstallation, GameSource::Steam, *installation, *problem));
    return;
  }
  SteamNameMap names;
  // A library named twice, in any spelling, is searched (or skipped) once.
  std::unordered_set<std::wstring> seen;
  for (const std::wstring& root : SteamLibraryRoots(*installation, search.skipped)) {
    const std::wstring spelling = NormalizeFolderPath(root);
    if (!seen.insert(LowerKey(spelling.empty() ? root : spelling)).second) continue;
    const std::wstring folder = UsableFolder(root, Skip(SkipItem::SteamLibrary, GameSource::Steam, root), search.skipped);
    if (folder.empty()) continue;
    // Add Dir's own reading of a library: its manifests, then its games.
    const std::wstring library = SteamLibraryOf(folder, names);
    if (library.empty() || !seen.insert(LowerKey(library)).second) continue;
    std::vector<std::wstring> games;
    if (!LibraryGameFolders(library, games)) {
      search.skipped.push_back(Skip(SkipItem::SteamLibrary, GameSource::Steam, root, SkipReason::CannotBeRead));
      continue;
    }
    for (std::wstring& game : games) {
      std::wstring name = SteamNameOf(names, game);
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
    const std::optional<std::string> bytes =
        ReadLauncherFile(JoinPath(folder, name), Skip(SkipItem::LauncherFile, GameSource::Epic, name), search.skipped);
    if (!bytes) continue;
    const std::optional<EpicManifest> manifest = ReadEpicManifest(*bytes);
    if (!manifest) {
      search.skipped.push_back(Skip(SkipItem::LauncherFile, GameSource::Epic, name, SkipReason::NotUnderstood));
      continue;
    }
    const std::wstring title = manifest->displayName.empty() ? name : manifest->displayName;
    const std::wstring path =
        UsableFolder(manifest->installLocation, Skip(SkipItem::LauncherGame, GameSource::Epic, title), search.skipped);
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
    const FindSkip what = Skip(SkipItem::LauncherGame, GameSource::Gog, name.empty() ? id : name);
    if (TrimBlanks(folder).empty()) {
      FindSkip noFolder = what;
      noFolder.reason = SkipReason::NoFolderNamed;
      search.skipped.push_back(std::move(noFolder));
      continue;
    }
    const std::wstring path = UsableFolder(folder, what, search.skipped);
    if (path.empty()) continue;
    const std::wstring exe = ReadRegistryText(HKEY_LOCAL_MACHINE, key, L"exe").value_or(L"");
    search.games.push_back({GameSource::Gog, path, name, LauncherExecutableBelow(path, exe).value_or(L"")});
  }
}

}  // namespace

GameSearch SearchLaunchers(const std::function<void(GameSource searching)>& searching) {
  GameSearch search;
  searching(GameSource::Steam);
  SearchSteam(search);
  searching(GameSource::Epic);
  SearchEpic(search);
  searching(GameSource::Gog);
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
