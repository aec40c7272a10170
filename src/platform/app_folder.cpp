#include "platform/app_folder.h"

#include <windows.h>

#include <vector>

#include "core/paths.h"

namespace zrcc {

namespace {
std::wstring gFolderOverride;

std::wstring ExecutablePath() {
  for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
    std::vector<wchar_t> buffer(size, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return std::wstring(buffer.data(), length);
  }
  return {};
}
}  // namespace

std::wstring AppFolder() {
  if (!gFolderOverride.empty()) return gFolderOverride;
  std::wstring exe = ExecutablePath();
  const size_t cut = exe.find_last_of(L'\\');
  if (cut == std::wstring::npos) return {};
  return exe.substr(0, cut);
}

void SetAppFolderForTesting(const std::wstring& folder) { gFolderOverride = folder; }

std::wstring AppFilePath(const std::wstring& fileName) {
  const std::wstring folder = AppFolder();
  if (folder.empty()) return {};
  return ExtendedLengthPath(JoinPath(folder, fileName));
}

}  // namespace zrcc
