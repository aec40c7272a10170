#include "core/file_version.h"

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

}  // namespace zrcc
