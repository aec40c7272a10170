#include "core/steam_manifest_text.h"

#include <optional>
#include <string_view>

#include "core/text.h"

namespace zrcc {

namespace {

// The next quoted text of `text` from `at` on, unescaped; `at` moves past
// its closing quote. Nothing when no complete quoted text follows.
std::optional<std::wstring> NextQuotedText(std::wstring_view text, size_t& at) {
  const size_t open = text.find(L'"', at);
  if (open == std::wstring_view::npos) return std::nullopt;
  std::wstring value;
  for (size_t i = open + 1; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'"') {
      at = i + 1;
      return value;
    }
    if (c == L'\\' && i + 1 < text.size() && (text[i + 1] == L'"' || text[i + 1] == L'\\')) ++i;
    value += text[i];
  }
  return std::nullopt;
}

}  // namespace

std::wstring ExtractQuotedValue(const char* bytes, size_t length, const wchar_t* key) {
  if (key == nullptr || bytes == nullptr || length == 0) return {};
  const std::wstring text = DecodeUtf8Lenient(std::string_view(bytes, length));
  size_t at = 0;
  while (const std::optional<std::wstring> quoted = NextQuotedText(text, at)) {
    if (*quoted == key) return NextQuotedText(text, at).value_or(std::wstring());
  }
  return {};
}

bool IsManifestFileName(std::wstring_view name) {
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos || dot == 0) return false;
  return name.substr(dot) == L".acf";
}

}  // namespace zrcc
