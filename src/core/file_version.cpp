#include "core/file_version.h"

#include <algorithm>
#include <vector>

#include "core/text.h"
#include "core/version_block.h"

namespace zrcc {

namespace {

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

// The fixed part: a signature, the structure's version, then the file
// version as two 32-bit halves (major.minor, build.revision), 52 bytes in all.
constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr size_t kFixedPartSize = 52;

}  // namespace

std::optional<FileVersionNumbers> FixedFileVersionInBlock(std::span<const uint8_t> bytes) {
  const std::optional<VersionBlock> block = VersionBlock::Parse(bytes);
  if (!block) return std::nullopt;
  const std::optional<VersionValue> fixed = block->Query(L"\\");
  if (!fixed || fixed->bytes.size() < kFixedPartSize || Le32(fixed->bytes, 0) != kFixedSignature) return std::nullopt;
  const uint32_t high = Le32(fixed->bytes, 8);
  const uint32_t low = Le32(fixed->bytes, 12);
  return FileVersionNumbers{{static_cast<uint16_t>(high >> 16), static_cast<uint16_t>(high),
                             static_cast<uint16_t>(low >> 16), static_cast<uint16_t>(low)}};
}

bool IsOlderVersion(const std::optional<FileVersionNumbers>& game, const std::optional<FileVersionNumbers>& package) {
  return game && package && *game < *package;
}

std::wstring VersionNumbersText(const FileVersionNumbers& version) {
  std::wstring text;
  for (size_t i = 0; i < version.parts.size(); ++i) {
    if (i > 0) text += L'.';
    text += std::to_wstring(version.parts[i]);
  }
  return text;
}

namespace {

std::wstring FixedVersionShown(const FileVersionNumbers& version) {
  std::wstring text = VersionNumbersText(version);
  if (version.parts[3] == 0) text.resize(text.rfind(L'.'));
  return text;
}

// A version text from a file, made fit to stand on one line of a tooltip:
// nothing from a line break or other control character on, no blanks at the
// ends, no longer than kMaxShownVersionLength (never ending inside a
// surrogate pair).
std::wstring TidyVersionText(std::wstring_view text) {
  const auto control = std::find_if(text.begin(), text.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; });
  text = TrimBlanks(text.substr(0, static_cast<size_t>(control - text.begin())));
  if (text.size() > kMaxShownVersionLength) {
    size_t cut = kMaxShownVersionLength;
    if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
    text = TrimBlanks(text.substr(0, cut));
  }
  return std::wstring(text);
}

}  // namespace

ShownFileVersion ShownFileVersionInBlock(std::span<const uint8_t> bytes) {
  ShownFileVersion shown;
  const std::optional<VersionBlock> block = VersionBlock::Parse(bytes);
  if (!block) return shown;
  const std::optional<FileVersionNumbers> fixed = FixedFileVersionInBlock(bytes);
  if (fixed && *fixed != FileVersionNumbers{}) {
    shown.version = FixedVersionShown(*fixed);
  } else {
    std::vector<VersionTranslation> translations = block->Translations();
    if (translations.empty()) translations.push_back({0x0409, 0x04E4});
    for (const VersionTranslation t : translations) {
      if (const std::optional<std::wstring> text = block->String(t, L"FileVersion")) {
        shown.version = TidyVersionText(*text);
        if (!shown.version.empty()) break;
      }
    }
  }
  shown.productName = ReadProductNameInBlock(bytes);
  return shown;
}

}  // namespace zrcc
