#include "discovery/launcher_xbox.h"

#include <algorithm>
#include <unordered_set>

#include "core/folder_nesting.h"
#include "core/found_games.h"
#include "core/launcher_files.h"
#include "core/paths.h"
#include "core/text.h"
#include "core/xbox_gaming_root.h"
#include "discovery/folder_intake.h"
#include "discovery/launcher_common.h"
#include "discovery/launcher_xml.h"
#include "platform/disk.h"
#include "platform/listing.h"

namespace zrcc {

namespace {

// Where a game kit's game names the executable it starts; the manifest's
// own executable is then only a helper that starts it.
constexpr wchar_t kGameConfig[] = L"MicrosoftGame.config";
constexpr wchar_t kManifest[] = L"appxmanifest.xml";
constexpr wchar_t kLaunchHelper[] = L"gamelaunchhelper.exe";
// A library lists one folder per game; more than this is no library.
constexpr size_t kMaxGamesPerLibrary = 10000;

bool IsUnderWindowsApps(const std::wstring& folder) {
  const std::wstring plain = PlainPath(folder);
  for (const std::wstring_view part : PathComponents(plain)) {
    if (LowerKey(part) == L"windowsapps") return true;
  }
  return false;
}

// The subfolders of `folder` in name order, or nothing when it cannot be
// listed. Links are passed over: a game's folder is a folder of its own.
std::optional<std::vector<std::wstring>> Subfolders(const std::wstring& folder) {
  std::vector<std::wstring> names;
  const ListingResult listed = ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        names.size() < kMaxGamesPerLibrary) {
      names.push_back(entry.cFileName);
    }
  });
  if (!listed.Listed()) return std::nullopt;
  std::sort(names.begin(), names.end());
  return names;
}

// The folder holding the game's manifest: <Game>\Content, else <Game>.
std::wstring ContentFolder(const std::wstring& game) {
  const std::wstring content = JoinPath(game, L"Content");
  if (IsExistingFile(JoinPath(content, kManifest)) || IsExistingFile(JoinPath(content, kGameConfig))) return content;
  if (IsExistingFile(JoinPath(game, kManifest)) || IsExistingFile(JoinPath(game, kGameConfig))) return game;
  return {};
}

// The executable relative to `game`: the game config's, else the
// manifest's unless that is only the launch helper; empty to let detection
// choose.
std::wstring GameExecutable(const std::wstring& game, const std::wstring& content,
                            const std::optional<AppxManifest>& manifest, std::vector<FindSkip>& skipped) {
  const std::wstring configPath = JoinPath(content, kGameConfig);
  const FindSkip what = Skipped(SkipItem::LauncherFile, GameSource::Xbox, configPath);
  std::wstring named;
  if (const auto bytes = ReadLauncherFileBytes(configPath, what, skipped, kMaxLauncherFileBytes)) {
    if (std::optional<std::wstring> exe = ReadGameConfigExecutable(*bytes, manifest ? manifest->applicationId : L"")) {
      named = std::move(*exe);
    } else {
      skipped.push_back(Skipped(SkipItem::LauncherFile, GameSource::Xbox, configPath, SkipReason::NotUnderstood));
    }
  }
  if (named.empty() && manifest && LowerKey(LastComponent(manifest->executable)) != kLaunchHelper) {
    named = manifest->executable;
  }
  if (named.empty()) return {};
  // Both files name it relative to the folder they lie in.
  const std::optional<std::wstring> inContent = LauncherExecutableBelow(content, named);
  if (!inContent) return {};
  return LauncherExecutableBelow(game, JoinPath(content, *inContent)).value_or(L"");
}

void AddXboxGame(const std::wstring& game, XboxSearch& search, std::unordered_set<std::wstring>& folders) {
  const std::wstring content = ContentFolder(game);
  if (content.empty()) return;  // no package: a folder of the library's own, or a game's remains
  const std::wstring manifestPath = JoinPath(content, kManifest);
  const FindSkip what = Skipped(SkipItem::LauncherFile, GameSource::Xbox, manifestPath);
  std::optional<AppxManifest> manifest;
  if (const auto bytes = ReadLauncherFileBytes(manifestPath, what, search.found.skipped, kMaxLauncherFileBytes)) {
    manifest = ReadAppxManifest(*bytes);
    if (!manifest) {
      search.found.skipped.push_back(
          Skipped(SkipItem::LauncherFile, GameSource::Xbox, manifestPath, SkipReason::NotUnderstood));
    }
  }
  const std::wstring name = manifest && !manifest->displayName.empty() ? manifest->displayName : LastComponent(game);
  const std::wstring exe = GameExecutable(game, content, manifest, search.found.skipped);
  const std::wstring normalised = NormalizeFolderPath(game);
  AddFoundGame(search.found, folders, {GameSource::Xbox, normalised.empty() ? game : normalised, name, exe});
}

void SearchLibrary(const std::wstring& library, XboxSearch& search, std::unordered_set<std::wstring>& folders) {
  if (IsUnderWindowsApps(library)) {
    search.cannotBeChanged.push_back(library);
    return;
  }
  const std::optional<std::vector<std::wstring>> games = Subfolders(library);
  if (!games) {
    if (IsExistingDirectory(library)) search.cannotBeChanged.push_back(library);
    return;
  }
  for (const std::wstring& name : *games) {
    const std::wstring game = JoinPath(library, name);
    if (!Subfolders(game)) {
      search.cannotBeChanged.push_back(game);
      continue;
    }
    AddXboxGame(game, search, folders);
  }
}

// A protected Store folder: each game package in it (one with a game
// config) when it can be listed at all, else the folder itself.
void CountProtectedPackages(const std::wstring& folder, XboxSearch& search) {
  if (!IsExistingDirectory(folder)) return;
  const std::optional<std::vector<std::wstring>> packages = Subfolders(folder);
  if (!packages) {
    search.cannotBeChanged.push_back(folder);
    return;
  }
  for (const std::wstring& package : *packages) {
    const std::wstring path = JoinPath(folder, package);
    if (IsExistingFile(JoinPath(path, kGameConfig))) search.cannotBeChanged.push_back(path);
  }
}

}  // namespace

void SearchXboxLibrary(const std::wstring& library, XboxSearch& search) {
  std::unordered_set<std::wstring> folders;
  for (const FoundGame& game : search.found.games) folders.insert(FolderKey(game.path));
  SearchLibrary(library, search, folders);
}

XboxSearch SearchXboxGames() {
  XboxSearch search;
  std::unordered_set<std::wstring> folders;
  std::unordered_set<std::wstring> protectedFolders;
  // An empty card reader or disc drive answers quietly rather than asking
  // the user to insert a disk.
  DWORD previousMode = 0;
  const bool quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode) != 0;
  for (wchar_t letter = L'C'; letter <= L'Z'; ++letter) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    const UINT type = GetDriveTypeW(root.c_str());
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN || type == DRIVE_REMOTE) continue;
    const std::wstring marker = root + L".GamingRoot";
    const auto bytes = ReadLauncherFileBytes(marker, Skipped(SkipItem::LauncherList, GameSource::Xbox, marker),
                                             search.found.skipped,
                                             kMaxLauncherFileBytes);
    if (bytes) {
      if (const std::optional<std::vector<std::wstring>> libraries = ReadGamingRoot(*bytes)) {
        for (const std::wstring& library : *libraries) SearchLibrary(root + library, search, folders);
      } else {
        search.found.skipped.push_back(
            Skipped(SkipItem::LauncherList, GameSource::Xbox, marker, SkipReason::NotUnderstood));
      }
    }
    if (protectedFolders.insert(LowerKey(root + L"WindowsApps")).second) {
      CountProtectedPackages(root + L"WindowsApps", search);
    }
  }
  const std::wstring programFiles = KnownFolderPath(FOLDERID_ProgramFiles);
  if (!programFiles.empty() && protectedFolders.insert(LowerKey(JoinPath(programFiles, L"WindowsApps"))).second) {
    CountProtectedPackages(JoinPath(programFiles, L"WindowsApps"), search);
  }
  if (quiet) SetThreadErrorMode(previousMode, nullptr);
  return search;
}

}  // namespace zrcc
