// What lies at a path on the disk, asked the same way everywhere (long paths
// included), and the system's words for why a disk operation failed.
#pragma once

#include <windows.h>

#include <string>

#include "core/drive_rules.h"
#include "core/paths.h"

namespace zrcc {

inline bool IsExistingDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

inline bool IsExistingFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Whether the folder at `path` is there, gone, or out of reach because its
// drive or network share is absent. A drive without its disc or card fails
// quietly instead of asking the user to insert one.
inline FolderPresence ProbeFolderPresence(const std::wstring& path) {
  DWORD previousMode = 0;
  const bool quiet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode) != 0;
  const std::wstring root = VolumeRoot(path);
  const bool folderExists = IsExistingDirectory(path);
  const FolderPresence presence =
      DecideFolderPresence(folderExists, !root.empty(), !folderExists && !root.empty() && IsExistingDirectory(root));
  if (quiet) SetThreadErrorMode(previousMode, nullptr);
  return presence;
}

// The system's own words for an error code of GetLastError, for messages
// to the user; "Windows error N" when it has none.
inline std::wstring SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) text = L"Windows error " + std::to_wstring(code);
  return text;
}

}  // namespace zrcc
