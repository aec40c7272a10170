#include "deploy/copy_deploy.h"

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <vector>

#include "core/package_rules.h"
#include "core/paths.h"
#include "platform/disk.h"
#include "platform/listing.h"

namespace zrcc {

namespace {

// The package's top level in listing order; false (and the system's error)
// when it cannot be listed.
bool ListPackage(const std::wstring& packageFolder, std::vector<PackageEntry>& entries, DWORD& error) {
  const ListingResult listed = ForEachEntry(packageFolder, [&](const WIN32_FIND_DATAW& data) {
    entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  });
  error = listed.error;
  return listed.Listed();
}

// Makes `folder` and every missing parent. Empty when it is a folder then,
// otherwise why not.
// Done before the copy because the shell, given a target that does not
// exist and a single source, copies that source AS the target: a package of
// one file would become a file named like the game's executable folder.
std::wstring MakeFolder(std::wstring folder) {
  // Trailing separators go, except the one of a drive root ("C:\").
  while (folder.size() > 1 && EndsWithSeparator(folder) && folder[folder.size() - 2] != L':') folder.pop_back();
  if (folder.empty()) return L"The folder has no name.";
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(folder).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? std::wstring() : folder + L" is a file, not a folder.";
  }
  const size_t cut = folder.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0) {
    std::wstring parentFailure = MakeFolder(folder.substr(0, cut + 1));
    if (!parentFailure.empty()) return parentFailure;
  }
  if (CreateDirectoryW(ExtendedLengthPath(folder, kNewFolderPathLimit).c_str(), nullptr)) return {};
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS && IsExistingDirectory(folder)) return {};  // made meanwhile by someone else
  return SystemErrorText(error);
}

// The shell's copy works with classic-length paths only: longer ones make it
// fail, crash, or (under Wine) leave the files out while it reports success.
// So every path the copy would read or write, the package's inner files and
// folders included, must stay below the limit, or the copy is refused before
// anything is made. The first path that is too long, or nothing.
std::optional<std::wstring> TooLongForTheShell(const std::vector<std::wstring>& sources,
                                               const std::vector<std::wstring>& names, const std::wstring& target) {
  if (target.size() >= MAX_PATH) return target;
  struct Entry {
    std::wstring source;
    std::wstring relative;  // below the target
  };
  std::vector<Entry> pending;
  for (size_t i = sources.size(); i-- > 0;) pending.push_back({sources[i], names[i]});
  while (!pending.empty()) {
    const Entry entry = std::move(pending.back());
    pending.pop_back();
    if (entry.source.size() >= MAX_PATH) return entry.source;
    if (std::wstring written = JoinPath(target, entry.relative); written.size() >= MAX_PATH) return written;
    // A folder's entries follow; a file cannot be listed and has none. A
    // cycle of links inside the package ends at the limit.
    ForEachEntry(entry.source, [&](const WIN32_FIND_DATAW& data) {
      pending.push_back({JoinPath(entry.source, data.cFileName), JoinPath(entry.relative, data.cFileName)});
    });
  }
  return std::nullopt;
}

bool Refuse(CopyRefusal* refusal, const std::wstring& path, const std::wstring& reason) {
  if (refusal) *refusal = {path, reason};
  return false;
}

}  // namespace

bool CopyModPackage(const std::wstring& packageFolder, const std::wstring& targetFolder, CopyRefusal* refusal,
                    HWND owner) {
  if (refusal) *refusal = {};
  std::vector<PackageEntry> listing;
  DWORD listError = 0;
  if (!ListPackage(packageFolder, listing, listError)) {
    return Refuse(refusal, packageFolder, L"The package folder cannot be read: " + SystemErrorText(listError));
  }
  const std::vector<std::wstring> names = PackageEntriesToCopy(listing);
  if (names.empty()) return true;
  const std::vector<std::wstring> sources = PackageSourcePaths(packageFolder, names);
  if (const std::optional<std::wstring> tooLong = TooLongForTheShell(sources, names, targetFolder)) {
    return Refuse(refusal, *tooLong,
                  L"This path is too long for the Windows shell's copy (" + std::to_wstring(MAX_PATH - 1) +
                      L" characters at most).");
  }
  if (const std::wstring failure = MakeFolder(targetFolder); !failure.empty()) {
    return Refuse(refusal, targetFolder, L"The folder cannot be created: " + failure);
  }

  const std::wstring from = DoubleNulList(sources);
  const std::wstring to = DoubleNulList({targetFolder});
  SHFILEOPSTRUCTW request{};
  // The shell's progress, question and error dialogs belong to the owner,
  // which takes no input while they are open.
  request.hwnd = owner;
  request.wFunc = FO_COPY;
  request.pFrom = from.c_str();
  request.pTo = to.c_str();
  request.fFlags = static_cast<FILEOP_FLAGS>(FOF_NOCONFIRMMKDIR);
  const int result = SHFileOperationW(&request);
  // A cancel in the shell's dialogs may come back as 0 with the abort flag
  // set; the copy is incomplete then and must not count as done.
  return result == 0 && !request.fAnyOperationsAborted;
}

std::wstring MakeFolders(const std::wstring& folder) { return MakeFolder(folder); }

}  // namespace zrcc
