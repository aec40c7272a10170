#include "core/drive_rules.h"

#include "core/folder_nesting.h"
#include "core/paths.h"

namespace zrcc {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// The end of the component that starts at `from`.
size_t ComponentEnd(std::wstring_view path, size_t from) {
  while (from < path.size() && !IsSeparator(path[from])) ++from;
  return from;
}

bool IsDriveRoot(std::wstring_view root) { return root.size() == 3 && root[1] == L':'; }

}  // namespace

std::wstring VolumeRoot(std::wstring_view path) {
  // The long forms of drive and share paths have the plain roots.
  const std::wstring plain = PlainPath(path);
  if (plain.size() != path.size() && !IsNetworkPath(path) && !(plain.size() >= 2 && plain[1] == L':')) {
    // Another long form, such as \\?\Volume{...}\: its first component is the volume.
    const std::wstring_view rest = std::wstring_view(path).substr(4);
    const size_t end = ComponentEnd(rest, 0);
    if (end == 0) return {};
    return L"\\\\?\\" + std::wstring(rest.substr(0, end)) + L"\\";
  }
  const std::wstring_view p = plain;
  if (p.size() >= 2 && IsLetter(p[0]) && p[1] == L':' && (p.size() == 2 || IsSeparator(p[2]))) {
    return std::wstring(p.substr(0, 2)) + L"\\";
  }
  if (p.size() < 3 || !IsSeparator(p[0]) || !IsSeparator(p[1]) || p[2] == L'?' || p[2] == L'.') return {};
  const size_t server = ComponentEnd(p, 2);
  if (server == 2 || server >= p.size()) return {};
  const size_t share = ComponentEnd(p, server + 1);
  if (share == server + 1) return {};
  return L"\\\\" + std::wstring(p.substr(2, server - 2)) + L"\\" + std::wstring(p.substr(server + 1, share - server - 1)) +
         L"\\";
}

bool IsVolumeRoot(std::wstring_view path) {
  const std::wstring root = VolumeRoot(path);
  return !root.empty() && FolderKey(path) == FolderKey(root);
}

FolderPresence DecideFolderPresence(bool folderExists, bool rootKnown, bool rootExists) {
  if (folderExists) return FolderPresence::Present;
  return rootKnown && !rootExists ? FolderPresence::DriveAbsent : FolderPresence::Gone;
}

std::wstring AbsentDriveTip(std::wstring_view path) {
  const std::wstring root = VolumeRoot(path);
  constexpr wchar_t kKept[] = L" The game stays in the list; once it is back, press Refresh List.";
  if (IsDriveRoot(root)) return L"Drive " + root.substr(0, 2) + L" is not present." + kKept;
  std::wstring name = root;
  if (!name.empty()) name.pop_back();
  const wchar_t* what = name.rfind(L"\\\\?\\", 0) == 0 ? L"Volume " : L"Network share ";
  return what + name + L" is not present." + kKept;
}

}  // namespace zrcc
