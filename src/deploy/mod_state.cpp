#include "deploy/mod_state.h"

#include <windows.h>

#include "core/mod_rules.h"
#include "core/paths.h"
#include "deploy/deployment.h"
#include "deploy/version_reader.h"
#include "platform/listing.h"

namespace zrcc {

namespace {

// Calls `visit` with each entry directly in `folder` until it returns true.
// False when the folder cannot be listed or no entry was accepted.
template <typename Visit>
bool AnyEntry(const std::wstring& folder, Visit visit) {
  const ListingResult listed = ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    return visit(entry) ? EntryStep::Stop : EntryStep::Next;
  });
  return listed.end == ListingEnd::Stopped;
}

}  // namespace

bool FindModDll(const std::wstring& folder, const std::wstring& productName, std::wstring& fileVersion,
                std::wstring& productVersion, std::wstring* matchedFile) {
  return AnyEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    if (!IsDllCandidateName(entry.cFileName)) return false;
    const std::wstring file = JoinPath(folder, entry.cFileName);
    if (!MatchProductVersions(file, productName, fileVersion, productVersion)) return false;
    if (matchedFile) *matchedFile = file;
    return true;
  });
}

bool HasModDllName(const std::wstring& folder) {
  return AnyEntry(folder, [](const WIN32_FIND_DATAW& entry) { return IsPlainModDllName(entry.cFileName); });
}

void DetectModState(Game& game) {
  const std::wstring folder = ExeFolderPath(game);
  game.modVersion.clear();
  game.buildVersion.clear();
  std::wstring dll;
  const bool found = FindModDll(folder, kModProductName, game.modVersion, game.buildVersion, &dll);
  game.modState = DecideModState(found, found && HasModDllName(folder), game.modVersion);
  game.modFileVersion = found ? ReadFixedFileVersion(dll) : std::nullopt;
  game.deployment = CheckDeployment(folder);
}

std::optional<PackageInfo> CheckModFolder(const std::wstring& folder) {
  if (folder.empty()) return std::nullopt;
  const std::wstring dll = JoinPath(folder, kPackageDllName);
  std::wstring fileVersion;
  std::wstring productVersion;
  // A directory of that name exists but has no version resource, so it fails
  // the match below.
  if (GetFileAttributesW(ExtendedLengthPath(dll).c_str()) == INVALID_FILE_ATTRIBUTES ||
      !MatchProductVersions(dll, kModProductName, fileVersion, productVersion)) {
    return std::nullopt;
  }
  return PackageInfo{std::move(fileVersion), std::move(productVersion), ReadFixedFileVersion(dll)};
}

}  // namespace zrcc
