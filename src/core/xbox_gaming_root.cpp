#include "core/xbox_gaming_root.h"

#include <cstdint>

#include "core/paths.h"

namespace zrcc {

namespace {

constexpr uint32_t kMagic = 0x58424752;  // "RGBX" as the file's first four bytes
constexpr size_t kMaxPathUnits = 32767;

uint32_t Le32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
  return value;
}

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Unpaired surrogates name no file a user could see; the text is refused.
bool IsWellFormedUtf16(const std::u16string& units) {
  for (size_t i = 0; i < units.size(); ++i) {
    if (IsHighSurrogate(units[i])) {
      if (i + 1 == units.size() || !IsLowSurrogate(units[i + 1])) return false;
      ++i;
    } else if (IsLowSurrogate(units[i])) {
      return false;
    }
  }
  return true;
}

// The folder as the program spells folders (backslashes, no empty or "."
// parts), or empty when it cannot stand for a folder below the drive root.
std::wstring LibraryFolder(const std::u16string& units) {
  if (units.size() > kMaxPathUnits || !IsWellFormedUtf16(units)) return {};
  const std::wstring text(units.begin(), units.end());
  std::wstring folder;
  for (const std::wstring_view part : PathComponents(text)) {
    if (part == L".." || part.find(L':') != std::wstring_view::npos) return {};
    folder = JoinPath(folder, part);
  }
  return folder;
}

}  // namespace

std::optional<std::vector<std::wstring>> ReadGamingRoot(std::string_view bytes) {
  if (bytes.size() < 8 || Le32(bytes, 0) != kMagic) return std::nullopt;
  const uint32_t count = Le32(bytes, 4);
  std::vector<std::wstring> folders;
  size_t at = 8;
  for (uint32_t i = 0; i < count && folders.size() < kMaxGamingRootFolders; ++i) {
    std::u16string units;
    bool ended = false;
    while (at + 2 <= bytes.size()) {
      const auto unit = static_cast<char16_t>(static_cast<uint8_t>(bytes[at]) |
                                              (static_cast<uint8_t>(bytes[at + 1]) << 8));
      at += 2;
      if (unit == 0) {
        ended = true;
        break;
      }
      if (units.size() <= kMaxPathUnits) units.push_back(unit);
    }
    if (!ended) break;  // cut short inside this path
    if (std::wstring folder = LibraryFolder(units); !folder.empty()) folders.push_back(std::move(folder));
  }
  return folders;
}

}  // namespace zrcc
