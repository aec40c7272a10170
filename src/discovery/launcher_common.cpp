#include "discovery/launcher_common.h"

#include "core/drive_rules.h"
#include "core/folder_nesting.h"
#include "core/paths.h"
#include "discovery/folder_intake.h"
#include "platform/disk.h"
#include "platform/files.h"

namespace zrcc {

FindSkip Skipped(SkipItem item, GameSource source, std::wstring name, SkipReason reason) {
  return {item, source, std::move(name), reason};
}

std::optional<SkipReason> LauncherFolderProblem(const std::wstring& folder) {
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

std::wstring UsableLauncherFolder(const std::wstring& named, FindSkip what, std::vector<FindSkip>& skipped) {
  const std::optional<std::wstring> spelt = LauncherFolderPath(named);
  std::optional<SkipReason> problem = spelt ? LauncherFolderProblem(*spelt) : SkipReason::NotAFullPath;
  const std::wstring normalised = problem ? std::wstring() : NormalizeFolderPath(*spelt);
  if (!problem && normalised.empty()) problem = SkipReason::FolderNotFound;
  // Every game of the drive in one, and the mod copied into its root.
  if (!problem && what.item == SkipItem::LauncherGame && IsVolumeRoot(normalised)) problem = SkipReason::VolumeRoot;
  if (problem) {
    what.reason = *problem;
    skipped.push_back(std::move(what));
    return {};
  }
  return normalised;
}

std::optional<std::string> ReadLauncherFileBytes(const std::wstring& path, FindSkip what,
                                                 std::vector<FindSkip>& skipped, uint64_t limit) {
  std::string bytes;
  switch (ReadWholeFile(path, bytes, limit)) {
    case FileRead::Read: return bytes;
    case FileRead::Missing: return std::nullopt;
    case FileRead::Unreadable: what.reason = SkipReason::CannotBeRead; break;
    case FileRead::TooLarge: what.reason = SkipReason::TooLarge; break;
  }
  skipped.push_back(std::move(what));
  return std::nullopt;
}

std::wstring KnownFolderPath(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) folder = path;
  CoTaskMemFree(path);
  return folder;
}

void AddFoundGame(GameSearch& search, std::unordered_set<std::wstring>& folderKeys, FoundGame game) {
  if (!folderKeys.insert(FolderKey(game.path)).second) return;
  search.games.push_back(std::move(game));
}

}  // namespace zrcc
