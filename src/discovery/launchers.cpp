#include "discovery/launchers.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/launcher_files.h"
#include "core/paths.h"
#include "core/text.h"
#include "core/folder_nesting.h"
#include "discovery/folder_intake.h"
#include "discovery/launcher_amazon.h"
#include "discovery/launcher_common.h"
#include "discovery/launcher_ea.h"
#include "discovery/launcher_heroic.h"
#include "discovery/launcher_ubisoft.h"
#include "discovery/launcher_uninstall_list.h"
#include "discovery/launcher_xbox.h"
#include "discovery/steam_launch.h"
#include "discovery/steam_manifests.h"
#include "platform/listing.h"
#include "platform/registry.h"

namespace zrcc {

namespace {

constexpr wchar_t kEpicManifestFolder[] = L"Epic\\EpicGamesLauncher\\Data\\Manifests";
constexpr wchar_t kGogGamesKey[] = L"SOFTWARE\\WOW6432Node\\GOG.com\\Games";

void SearchSteam(GameSearch& search) {
  const std::optional<std::wstring> installation = SteamInstallation();
  if (!installation) return;
  // Its list of libraries is not even read from a share or a drive that is gone.
  if (const std::optional<SkipReason> problem = LauncherFolderProblem(*installation)) {
    search.skipped.push_back(Skipped(SkipItem::SteamInstallation, GameSource::Steam, *installation, *problem));
    return;
  }
  SteamNameMap names;
  std::vector<std::wstring> libraries;
  // A library named twice, in any spelling, is searched (or skipped) once.
  std::unordered_set<std::wstring> seen;
  for (const std::wstring& root : SteamLibraryRoots(*installation, search.skipped)) {
    const std::wstring spelling = NormalizeFolderPath(root);
    if (!seen.insert(LowerKey(spelling.empty() ? root : spelling)).second) continue;
    const std::wstring folder = UsableLauncherFolder(root, Skipped(SkipItem::SteamLibrary, GameSource::Steam, root), search.skipped);
    if (folder.empty()) continue;
    // Add Dir's own reading of a library: its manifests, then its games.
    const std::wstring library = SteamLibraryOf(folder, names);
    if (library.empty() || !seen.insert(LowerKey(library)).second) continue;
    std::vector<std::wstring> games;
    if (!LibraryGameFolders(library, games)) {
      search.skipped.push_back(Skipped(SkipItem::SteamLibrary, GameSource::Steam, root, SkipReason::CannotBeRead));
      continue;
    }
    libraries.push_back(folder);
    for (std::wstring& game : games) {
      std::wstring name = SteamNameOf(names, game);
      search.games.push_back({GameSource::Steam, std::move(game), std::move(name), {}});
    }
  }
  // Steam's own word on what "Play" starts, read once for every library.
  SteamLaunches launches = ReadSteamLaunchExecutables(*installation, libraries);
  std::unordered_map<std::wstring, std::wstring> executables;
  for (SteamLaunchExecutable& launch : launches.games) {
    executables.emplace(FolderKey(launch.gameFolder), std::move(launch.executable));
  }
  for (FoundGame& game : search.games) {
    if (game.source != GameSource::Steam) continue;
    if (const auto found = executables.find(FolderKey(game.path)); found != executables.end()) {
      game.executable = found->second;
    }
  }
  for (FindSkip& skip : launches.skipped) search.skipped.push_back(std::move(skip));
}

bool IsEpicManifestName(const wchar_t* name) {
  const std::wstring key = LowerKey(name);
  return key.size() > 5 && key.ends_with(L".item");
}

void SearchEpic(GameSearch& search) {
  const std::wstring programData = KnownFolderPath(FOLDERID_ProgramData);
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
        ReadLauncherFileBytes(JoinPath(folder, name), Skipped(SkipItem::LauncherFile, GameSource::Epic, name), search.skipped,
                              kMaxLauncherFileBytes);
    if (!bytes) continue;
    const std::optional<EpicManifest> manifest = ReadEpicManifest(*bytes);
    if (!manifest) {
      search.skipped.push_back(Skipped(SkipItem::LauncherFile, GameSource::Epic, name, SkipReason::NotUnderstood));
      continue;
    }
    const std::wstring title = manifest->displayName.empty() ? name : manifest->displayName;
    const std::wstring path =
        UsableLauncherFolder(manifest->installLocation, Skipped(SkipItem::LauncherGame, GameSource::Epic, title), search.skipped);
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
    const FindSkip what = Skipped(SkipItem::LauncherGame, GameSource::Gog, name.empty() ? id : name);
    if (TrimBlanks(folder).empty()) {
      FindSkip noFolder = what;
      noFolder.reason = SkipReason::NoFolderNamed;
      search.skipped.push_back(std::move(noFolder));
      continue;
    }
    const std::wstring path = UsableLauncherFolder(folder, what, search.skipped);
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
  // Each other launcher's own reader, in turn.
  const auto take = [&search](GameSearch found) {
    for (FoundGame& game : found.games) search.games.push_back(std::move(game));
    for (FindSkip& skip : found.skipped) search.skipped.push_back(std::move(skip));
  };
  searching(GameSource::Xbox);
  XboxSearch xbox = SearchXboxGames();
  search.cannotBeChanged += xbox.cannotBeChanged.size();
  take(std::move(xbox.found));
  searching(GameSource::Ea);
  take(SearchEaGames());
  searching(GameSource::Ubisoft);
  take(SearchUbisoftGames());
  searching(GameSource::BattleNet);
  take(SearchUninstallListGames());
  searching(GameSource::Amazon);
  take(SearchAmazonGames());
  searching(GameSource::Heroic);
  take(SearchHeroicGames());
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
