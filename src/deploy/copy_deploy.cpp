#include "deploy/copy_deploy.h"
#include "helpers/disk.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "deploy/package_rules.h"
#include "helpers/paths.h"
#include "helpers/win_handles.h"

namespace zrcc {

namespace {

// The package's top level in listing order; false when it cannot be listed.
bool ListPackage(const std::wstring& packageFolder, std::vector<PackageEntry>& entries) {
  WIN32_FIND_DATAW data{};
  FindHandle find(FindFirstFileW(ExtendedLengthPath(packageFolder + L"\\*").c_str(), &data));
  if (!find) return false;
  do {
    entries.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(find.get(), &data));
  return true;
}

// Makes `folder` and every missing parent; true when it is a folder then.
// Done before the copy because the shell, given a target that does not
// exist and a single source, copies that source AS the target: a package of
// one file would become a file named like the game's executable folder.
bool EnsureFolder(std::wstring folder) {
  // Trailing separators go, except the one of a drive root ("C:\").
  while (folder.size() > 1 && EndsWithSeparator(folder) && folder[folder.size() - 2] != L':') folder.pop_back();
  if (folder.empty()) return false;
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(folder).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const size_t cut = folder.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0 && !EnsureFolder(folder.substr(0, cut + 1))) return false;
  if (CreateDirectoryW(ExtendedLengthPath(folder).c_str(), nullptr)) return true;
  return GetLastError() == ERROR_ALREADY_EXISTS && IsExistingDirectory(folder);  // made meanwhile by someone else
}

// The shell's copy works with classic-length paths only (longer ones make it
// fail or even crash), so such a copy is refused before anything is made.
bool ShellCanTake(const std::vector<std::wstring>& sources, const std::wstring& target) {
  if (target.size() >= MAX_PATH) return false;
  for (const std::wstring& source : sources) {
    if (source.size() >= MAX_PATH) return false;
  }
  return true;
}

}  // namespace

bool CopyModPackage(const std::wstring& packageFolder, const std::wstring& targetFolder) {
  std::vector<PackageEntry> listing;
  if (!ListPackage(packageFolder, listing)) return false;
  const std::vector<std::wstring> names = PackageEntriesToCopy(listing);
  if (names.empty()) return true;
  const std::vector<std::wstring> sources = PackageSourcePaths(packageFolder, names);
  if (!ShellCanTake(sources, targetFolder) || !EnsureFolder(targetFolder)) return false;

  const std::wstring from = DoubleNulList(sources);
  const std::wstring to = DoubleNulList({targetFolder});
  SHFILEOPSTRUCTW request{};
  request.hwnd = nullptr;  // the shell's dialogs stand on their own
  request.wFunc = FO_COPY;
  request.pFrom = from.c_str();
  request.pTo = to.c_str();
  request.fFlags = static_cast<FILEOP_FLAGS>(FOF_NOCONFIRMMKDIR);
  const int result = SHFileOperationW(&request);
  // A cancel in the shell's dialogs may come back as 0 with the abort flag
  // set; the copy is incomplete then and must not count as done.
  return result == 0 && !request.fAnyOperationsAborted;
}

}  // namespace zrcc
