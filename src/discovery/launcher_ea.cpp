#include "discovery/launcher_ea.h"

#include <algorithm>
#include <unordered_set>

#include "core/ea_origin.h"
#include "core/found_games.h"
#include "core/launcher_files.h"
#include "core/paths.h"
#include "core/text.h"
#include "discovery/launcher_common.h"
#include "discovery/launcher_xml.h"
#include "platform/listing.h"
#include "platform/registry.h"

namespace zrcc {

namespace {

constexpr const wchar_t* kGameKeys[] = {
    L"SOFTWARE\\WOW6432Node\\EA Games", L"SOFTWARE\\WOW6432Node\\Origin Games",
    L"SOFTWARE\\EA Games",              L"SOFTWARE\\Origin Games",
};
constexpr wchar_t kOriginContent[] = L"Origin\\LocalContent";
// LocalContent holds a folder per game, sometimes one more level.
constexpr int kMaxManifestDepth = 4;

// Most installers write "Install Dir", some "InstallDir".
std::wstring InstallFolderValue(const std::wstring& key) {
  for (const wchar_t* name : {L"Install Dir", L"InstallDir"}) {
    std::optional<std::wstring> folder = ReadRegistryText(HKEY_LOCAL_MACHINE, key, name);
    if (folder && !TrimBlanks(*folder).empty()) return *folder;
  }
  return {};
}

// The game as its installer's data describes it: the title, the executable
// a player starts, relative to the folder.
void AddEaGame(GameSearch& search, std::unordered_set<std::wstring>& folders, const std::wstring& path,
               const std::wstring& fallbackName) {
  FoundGame game{GameSource::Ea, path, fallbackName, {}};
  const std::wstring dataPath = JoinPath(path, L"__Installer\\installerdata.xml");
  const FindSkip what = Skipped(SkipItem::LauncherFile, GameSource::Ea, dataPath);
  if (const auto bytes = ReadLauncherFileBytes(dataPath, what, search.skipped, kMaxLauncherFileBytes)) {
    if (const std::optional<InstallerData> data = ReadInstallerData(*bytes)) {
      if (!data->name.empty()) game.name = data->name;
      if (const std::optional<std::wstring> file = EaLaunchFile(data->launchPath)) {
        game.executable = LauncherExecutableBelow(path, *file).value_or(L"");
      }
    } else {
      search.skipped.push_back(Skipped(SkipItem::LauncherFile, GameSource::Ea, dataPath, SkipReason::NotUnderstood));
    }
  }
  AddFoundGame(search, folders, std::move(game));
}

void CollectManifests(const std::wstring& folder, int depth, std::vector<std::wstring>& manifests) {
  std::vector<std::wstring> subfolders;
  ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    const std::wstring name = entry.cFileName;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return;  // never through a link
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      subfolders.push_back(name);
    } else if (LowerKey(name).ends_with(L".mfst")) {
      manifests.push_back(JoinPath(folder, name));
    }
  });
  if (depth >= kMaxManifestDepth) return;
  std::sort(subfolders.begin(), subfolders.end());
  for (const std::wstring& sub : subfolders) CollectManifests(JoinPath(folder, sub), depth + 1, manifests);
}

}  // namespace

GameSearch SearchEaGames() {
  GameSearch search;
  std::unordered_set<std::wstring> folders;
  for (const wchar_t* list : kGameKeys) {
    for (const std::wstring& title : RegistrySubkeys(HKEY_LOCAL_MACHINE, list)) {
      const std::wstring named = InstallFolderValue(JoinPath(list, title));
      if (named.empty()) continue;  // a key of the launcher's own, not a game's
      const std::wstring path =
          UsableLauncherFolder(named, Skipped(SkipItem::LauncherGame, GameSource::Ea, title), search.skipped);
      if (path.empty()) continue;
      // EA Games keys are named after the title, Origin Games keys after a content id.
      const bool byTitle = std::wstring_view(list).ends_with(L"EA Games");
      AddEaGame(search, folders, path, byTitle ? title : LastComponent(PlainPath(path)));
    }
  }
  const std::wstring programData = KnownFolderPath(FOLDERID_ProgramData);
  std::vector<std::wstring> manifests;
  if (!programData.empty()) CollectManifests(JoinPath(programData, kOriginContent), 0, manifests);
  std::sort(manifests.begin(), manifests.end());
  for (const std::wstring& manifestPath : manifests) {
    const FindSkip what = Skipped(SkipItem::LauncherFile, GameSource::Ea, LastComponent(manifestPath));
    const auto bytes = ReadLauncherFileBytes(manifestPath, what, search.skipped, kMaxLauncherFileBytes);
    if (!bytes) continue;
    const std::optional<OriginManifest> manifest = ReadOriginManifest(*bytes);
    if (!manifest) {
      search.skipped.push_back(
          Skipped(SkipItem::LauncherFile, GameSource::Ea, LastComponent(manifestPath), SkipReason::NotUnderstood));
      continue;
    }
    if (manifest->onSteam) continue;  // Steam's own game, found with Steam's
    const std::wstring path = UsableLauncherFolder(
        manifest->installPath, Skipped(SkipItem::LauncherGame, GameSource::Ea, manifest->id), search.skipped);
    if (!path.empty()) AddEaGame(search, folders, path, LastComponent(PlainPath(path)));
  }
  return search;
}

}  // namespace zrcc
