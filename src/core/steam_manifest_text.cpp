#include "core/steam_manifest_text.h"

#include <string_view>

#include "core/text.h"

namespace zrcc {

std::wstring ExtractQuotedValue(const char* bytes, size_t length, const wchar_t* key) {
  if (key == nullptr || bytes == nullptr || length == 0) return {};
  const std::wstring text = DecodeUtf8Lenient(std::string_view(bytes, length));
  if (text.empty()) return {};
  std::wstring needle = L"\"";
  needle += key;
  needle += L'"';
  const size_t at = text.find(needle);
  if (at == std::wstring::npos) return {};
  const size_t open = text.find(L'"', at + needle.size());
  if (open == std::wstring::npos) return {};
  const size_t close = text.find(L'"', open + 1);
  if (close == std::wstring::npos) return {};
  return text.substr(open + 1, close - open - 1);
}

bool IsManifestFileName(std::wstring_view name) {
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos || dot == 0) return false;
  return name.substr(dot) == L".acf";
}

}  // namespace zrcc
