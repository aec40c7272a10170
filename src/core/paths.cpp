#include "core/paths.h"

#include <vector>

#include "core/text.h"

namespace zrcc {

namespace {

bool IsDriveAbsolute(std::wstring_view p) {
  return p.size() >= 3 && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z')) &&
         p[1] == L':' && (p[2] == L'\\' || p[2] == L'/');
}
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsUncAbsolute(std::wstring_view p) {
  return p.size() > 2 && IsSeparator(p[0]) && IsSeparator(p[1]) && p[2] != L'?' && p[2] != L'.';
}

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

wchar_t FoldAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsFolded(std::wstring_view text, std::wstring_view upper) {
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (FoldAscii(text[i]) != upper[i]) return false;
  }
  return true;
}

// The components after the root, with "." dropped and ".." applied.
std::vector<std::wstring_view> ResolvedComponents(std::wstring_view rest) {
  std::vector<std::wstring_view> parts;
  for (const std::wstring_view part : PathComponents(rest)) {
    if (part != L"..") {
      parts.push_back(part);
    } else if (!parts.empty()) {
      parts.pop_back();
    }
  }
  return parts;
}

}  // namespace

std::vector<std::wstring_view> PathComponents(std::wstring_view path) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::wstring_view part = path.substr(start, end - start);
    if (!part.empty() && part != L".") parts.push_back(part);
    start = end + 1;
  }
  return parts;
}

bool EndsWithSeparator(std::wstring_view path) {
  return !path.empty() && IsSeparator(path.back());
}

std::wstring JoinPath(std::wstring_view base, std::wstring_view name) {
  std::wstring out(base);
  if (!out.empty() && !EndsWithSeparator(out)) out += L'\\';
  out += name;
  return out;
}

std::wstring LastComponent(std::wstring_view path) {
  const size_t cut = path.find_last_of(L"\\/");
  return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

bool IsDeviceName(std::wstring_view name) {
  // The device is named by the part before the first dot (or a stream's
  // colon), blanks and dots at its end aside.
  name = name.substr(0, name.find_first_of(L".:"));
  while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.remove_suffix(1);
  for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (EqualsFolded(name, device)) return true;
  }
  if (name.size() != 4 || !(EqualsFolded(name.substr(0, 3), L"COM") || EqualsFolded(name.substr(0, 3), L"LPT"))) {
    return false;
  }
  const wchar_t digit = name[3];
  return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

std::wstring ExtendedLengthPath(std::wstring_view path, size_t limit) {
  if (path.substr(0, kLongPrefix.size()) == kLongPrefix) return std::wstring(path);
  std::wstring_view trimmed = path;
  while (EndsWithSeparator(trimmed)) trimmed.remove_suffix(1);
  if (path.size() < limit && !IsDeviceName(LastComponent(trimmed))) return std::wstring(path);

  std::wstring out;
  std::wstring_view rest;
  if (IsDriveAbsolute(path)) {
    out = kLongPrefix;
    out += path.substr(0, 2);
    rest = path.substr(3);
  } else if (IsUncAbsolute(path)) {
    // The server and the share form the root; ".." never climbs above it.
    size_t server = 2;
    while (server < path.size() && !IsSeparator(path[server])) ++server;
    size_t share = server + 1;
    while (share < path.size() && !IsSeparator(path[share])) ++share;
    if (share > path.size()) share = path.size();
    out = kLongUncPrefix;
    out += path.substr(2, server - 2);
    if (server < path.size()) {
      out += L'\\';
      out += path.substr(server + 1, share - server - 1);
    }
    rest = share < path.size() ? path.substr(share + 1) : std::wstring_view();
  } else {
    return std::wstring(path);
  }
  out += L'\\';
  const std::vector<std::wstring_view> parts = ResolvedComponents(rest);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += L'\\';
    out += parts[i];
  }
  // A closing separator (a folder to list, say) is kept.
  if (!parts.empty() && EndsWithSeparator(path)) out += L'\\';
  return out;
}

bool IsNetworkPath(std::wstring_view path) {
  if (path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  if (path[2] != L'?' && path[2] != L'.') return true;
  // \\?\UNC\ in any letter case
  if (path.size() < 8 || path[2] != L'?' || !IsSeparator(path[3]) || !IsSeparator(path[7])) return false;
  const wchar_t unc[] = {L'U', L'N', L'C'};
  for (size_t i = 0; i < 3; ++i) {
    if ((path[4 + i] & ~0x20) != unc[i]) return false;
  }
  return true;
}

std::wstring PlainPath(std::wstring_view path) {
  if (path.substr(0, kLongUncPrefix.size()) == kLongUncPrefix) {
    return L"\\\\" + std::wstring(path.substr(kLongUncPrefix.size()));
  }
  if (path.substr(0, kLongPrefix.size()) == kLongPrefix) return std::wstring(path.substr(kLongPrefix.size()));
  return std::wstring(path);
}

std::optional<std::wstring> FolderBelow(std::wstring_view base, std::wstring_view folder) {
  // The long form of any length spells both roots one way and resolves the
  // components; its parts are then compared name by name.
  const std::wstring longBase = ExtendedLengthPath(base, 0);
  const std::wstring longFolder = ExtendedLengthPath(folder, 0);
  if (!longBase.starts_with(kLongPrefix) || !longFolder.starts_with(kLongPrefix)) return std::nullopt;
  const std::vector<std::wstring_view> baseParts = ResolvedComponents(longBase);
  const std::vector<std::wstring_view> folderParts = ResolvedComponents(longFolder);
  if (folderParts.size() < baseParts.size()) return std::nullopt;
  for (size_t i = 0; i < baseParts.size(); ++i) {
    if (LowerKey(baseParts[i]) != LowerKey(folderParts[i])) return std::nullopt;
  }
  std::wstring below;
  for (size_t i = baseParts.size(); i < folderParts.size(); ++i) {
    if (!below.empty()) below += L'\\';
    below += folderParts[i];
  }
  return below;
}

std::wstring FolderForDisplay(std::wstring_view path) {
  std::wstring plain = PlainPath(path);
  while (plain.size() > 1 && EndsWithSeparator(plain) && !(plain.size() == 3 && plain[1] == L':')) plain.pop_back();
  return plain;
}

}  // namespace zrcc
