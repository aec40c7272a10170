#include "discovery/launcher_common.h"

#include "core/folder_nesting.h"
#include "core/paths.h"
#include "discovery/folder_intake.h"
#include "platform/disk.h"
#include "platform/files.h"

namespace zrcc {

std::wstring LauncherFolderProblem(const std::wstring& folder) {
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

std::wstring UsableLauncherFolder(const std::wstring& named, const std::wstring& what,
                                  std::vector<FindSkip>& skipped) {
  const std::optional<std::wstring> spelt = LauncherFolderPath(named);
  std::wstring problem = spelt ? LauncherFolderProblem(*spelt) : L"not a full path";
  const std::wstring normalised = problem.empty() ? NormalizeFolderPath(*spelt) : std::wstring();
  if (problem.empty() && normalised.empty()) problem = L"folder not found";
  if (!problem.empty()) skipped.push_back({what, problem});
  return normalised;
}

std::optional<std::string> ReadLauncherFileBytes(const std::wstring& path, const std::wstring& what,
                                                 std::vector<FindSkip>& skipped, uint64_t limit) {
  std::string bytes;
  switch (ReadWholeFile(path, bytes, limit)) {
    case FileRead::Read: return bytes;
    case FileRead::Missing: return std::nullopt;
    case FileRead::Unreadable: skipped.push_back({what, L"cannot be read"}); return std::nullopt;
    case FileRead::TooLarge: skipped.push_back({what, L"too large"}); return std::nullopt;
  }
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
