#include "helpers/paths.h"

namespace zrcc {

namespace {
constexpr size_t kClassicPathLimit = 260;

bool IsDriveAbsolute(std::wstring_view p) {
  return p.size() >= 3 && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z')) &&
         p[1] == L':' && (p[2] == L'\\' || p[2] == L'/');
}
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
}  // namespace

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

std::wstring ExtendedLengthPath(std::wstring_view path) {
  if (path.size() < kClassicPathLimit) return std::wstring(path);
  if (path.substr(0, 4) == L"\\\\?\\") return std::wstring(path);
  std::wstring out;
  if (IsDriveAbsolute(path)) {
    out = L"\\\\?\\";
    out += path;
  } else if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != L'?' &&
             path[2] != L'.') {
    out = L"\\\\?\\UNC\\";
    out += path.substr(2);
  } else {
    return std::wstring(path);
  }
  for (wchar_t& c : out) {
    if (c == L'/') c = L'\\';
  }
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

}  // namespace zrcc
