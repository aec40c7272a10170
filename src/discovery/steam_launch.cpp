#include "discovery/steam_launch.h"

#include <windows.h>

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "core/launcher_files.h"
#include "core/folder_nesting.h"
#include "core/found_games.h"
#include "core/paths.h"
#include "core/steam_appinfo.h"
#include "core/steam_manifest_text.h"
#include "core/text.h"
#include "platform/disk.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/registry.h"

namespace zrcc {

namespace {

// A game the libraries' manifests name.
struct ManifestGame {
  uint32_t appId = 0;
  std::wstring folder;
  std::wstring branch;
};

std::optional<uint32_t> AppIdOf(const std::wstring& text) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of(L"0123456789") != std::wstring::npos) {
    return std::nullopt;
  }
  const uint64_t value = std::stoull(text);
  if (value == 0 || value > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(value);
}

void ReadLibraryManifests(const std::wstring& library, std::vector<ManifestGame>& games) {
  const std::wstring steamapps = JoinPath(library, L"steamapps");
  std::vector<std::wstring> names;
  ForEachEntry(steamapps, [&](const WIN32_FIND_DATAW& entry) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsManifestFileName(entry.cFileName)) {
      names.push_back(entry.cFileName);
    }
  });
  std::sort(names.begin(), names.end());
  for (const std::wstring& name : names) {
    std::string bytes;
    if (ReadWholeFile(JoinPath(steamapps, name), bytes, kMaxLauncherFileBytes) != FileRead::Read) continue;
    const std::optional<uint32_t> appId = AppIdOf(ExtractQuotedValue(bytes.data(), bytes.size(), L"appid"));
    const std::wstring installDir = ExtractQuotedValue(bytes.data(), bytes.size(), L"installdir");
    // The install folder is one name below steamapps\common, never a path.
    if (!appId || installDir.empty() || installDir.find_first_of(L"\\/:") != std::wstring::npos ||
        installDir == L"..") {
      continue;
    }
    games.push_back({*appId, JoinPath(JoinPath(steamapps, L"common"), installDir),
                     ExtractQuotedValue(bytes.data(), bytes.size(), L"BetaKey")});
  }
}

}  // namespace

SteamLaunches ReadSteamLaunchExecutables(const std::wstring& steamInstallation,
                                         const std::vector<std::wstring>& libraries) {
  SteamLaunches result;
  std::vector<ManifestGame> games;
  for (const std::wstring& library : libraries) ReadLibraryManifests(library, games);
  if (games.empty()) return result;
  std::unordered_map<uint32_t, std::wstring> wanted;
  for (const ManifestGame& game : games) wanted.emplace(game.appId, game.branch);

  const std::wstring path = JoinPath(steamInstallation, L"appcache\\appinfo.vdf");
  const auto skip = [&result, &path](SkipReason reason) {
    result.skipped.push_back({SkipItem::LauncherList, GameSource::Steam, path, reason});
  };
  const FileRanges file(path);
  if (file.state() == FileRead::Missing) return result;
  if (file.state() != FileRead::Read) {
    skip(SkipReason::CannotBeRead);
    return result;
  }
  if (file.size() > kMaxAppInfoBytes) {
    skip(SkipReason::TooLarge);
    return result;
  }
  const AppInfoReadAt read = [&file](uint64_t offset, void* out, size_t length) {
    return file.ReadAt(offset, out, length);
  };
  const AppInfoLaunches launches = ReadAppInfoLaunches(read, file.size(), &wanted);
  if (!launches.understood) {
    skip(SkipReason::NotUnderstood);
    return result;
  }
  if (!launches.complete) skip(SkipReason::Damaged);
  std::unordered_map<uint32_t, const SteamAppLaunch*> byApp;
  for (const SteamAppLaunch& app : launches.apps) byApp.emplace(app.appId, &app);
  for (const ManifestGame& game : games) {
    const auto app = byApp.find(game.appId);
    if (app == byApp.end()) continue;
    for (const std::wstring& exe : app->second->executables) {
      if (IsExistingFile(JoinPath(game.folder, exe))) {
        result.games.push_back({game.folder, exe});
        break;
      }
    }
  }
  return result;
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

std::vector<std::wstring> SteamLibraryRoots(const std::wstring& installation, std::vector<FindSkip>& skipped) {
  std::vector<std::wstring> roots;
  const std::wstring list = JoinPath(installation, L"steamapps\\libraryfolders.vdf");
  const auto skip = [&](SkipReason reason) { skipped.push_back({SkipItem::SteamLibraryList, GameSource::Steam, list, reason}); };
  std::string bytes;
  switch (ReadWholeFile(list, bytes, kMaxLauncherFileBytes)) {
    case FileRead::Read:
      if (std::optional<std::vector<std::wstring>> folders = ReadLibraryFolders(bytes)) {
        roots = std::move(*folders);
      } else {
        skip(SkipReason::NotUnderstood);
      }
      break;
    case FileRead::Missing: break;  // Steam has not written it: its own library only
    case FileRead::Unreadable: skip(SkipReason::CannotBeRead); break;
    case FileRead::TooLarge: skip(SkipReason::TooLarge); break;
  }
  roots.push_back(installation);
  return roots;
}

std::vector<SteamLaunchExecutable> SteamLaunchesOfLibrary(const std::wstring& gamesFolder) {
  const std::optional<std::wstring> installation = SteamInstallation();
  if (!installation || IsNetworkPath(*installation) || !IsExistingDirectory(*installation)) return {};
  // <library>\steamapps\common: the library is two folders up.
  std::wstring library = gamesFolder;
  for (int up = 0; up < 2; ++up) {
    while (!library.empty() && (library.back() == L'\\' || library.back() == L'/')) library.pop_back();
    const size_t cut = library.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return {};
    library.resize(cut);
  }
  std::vector<FindSkip> ignored;  // Add Dir's own reading says what it could not read
  for (const std::wstring& root : SteamLibraryRoots(*installation, ignored)) {
    const std::optional<std::wstring> spelt = LauncherFolderPath(root);
    if (spelt && !IsNetworkPath(*spelt) && FolderKey(*spelt) == FolderKey(library)) {
      return ReadSteamLaunchExecutables(*installation, {library}).games;
    }
  }
  return {};
}

}  // namespace zrcc
