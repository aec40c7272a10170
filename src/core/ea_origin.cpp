#include "core/ea_origin.h"

#include <algorithm>

#include "core/text.h"

namespace zrcc {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-escapes decoded; a "+" stays a plus, which a folder name may hold
// (Origin writes a blank as "%20"). Nothing for a broken escape, a NUL or
// bytes that are no UTF-8.
std::optional<std::wstring> UrlDecoded(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      bytes += text[i];
      continue;
    }
    if (text.size() - i < 3) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  std::wstring decoded;
  if (bytes.find('\0') != std::string::npos || !DecodeUtf8Strict(bytes, decoded)) return std::nullopt;
  return decoded;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

std::optional<OriginManifest> ReadOriginManifest(std::string_view bytes) {
  while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r' || bytes.back() == ' ')) bytes.remove_suffix(1);
  if (!bytes.empty() && bytes.front() == '?') bytes.remove_prefix(1);
  std::optional<std::wstring> id, path;
  size_t start = 0;
  while (start <= bytes.size()) {
    const size_t amp = std::min(bytes.find('&', start), bytes.size());
    const std::string_view pair = bytes.substr(start, amp - start);
    start = amp + 1;
    const size_t equals = pair.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string key = LowerAscii(pair.substr(0, equals));
    std::optional<std::wstring>* field = key == "id" ? &id : key == "dipinstallpath" ? &path : nullptr;
    if (!field || *field) continue;
    *field = UrlDecoded(pair.substr(equals + 1));
    if (!*field) return std::nullopt;
  }
  if (!id || !path || TrimBlanks(*path).empty()) return std::nullopt;
  const bool onSteam = LowerKey(*id).ends_with(L"@steam");
  return OriginManifest{std::move(*id), std::move(*path), onSteam};
}

std::optional<std::wstring> EaLaunchFile(std::wstring_view filePath) {
  filePath = TrimBlanks(filePath);
  if (filePath.empty() || filePath.front() != L'[') return std::wstring(filePath);
  const size_t close = filePath.find(L']');
  if (close == std::wstring_view::npos) return std::nullopt;
  return std::wstring(TrimBlanks(filePath.substr(close + 1)));
}

}  // namespace zrcc
