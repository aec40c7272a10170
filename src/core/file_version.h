// The four numbers of a file's fixed version (major.minor.build.revision),
// as the version resource's fixed part records them: the one version of the
// mod that can be compared, where the version text is free-form.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zrcc {

struct FileVersionNumbers {
  std::array<uint16_t, 4> parts{};
  auto operator<=>(const FileVersionNumbers&) const = default;
};

// The fixed file version of a version block (a DLL's version resource);
// nullopt when the block does not parse, has no fixed part, or its fixed
// part lacks the signature that marks it as one.
std::optional<FileVersionNumbers> FixedFileVersionInBlock(std::span<const uint8_t> block);

// True only when both versions are known and the game's is below the
// package's: a version that is missing or could not be read is never older.
bool IsOlderVersion(const std::optional<FileVersionNumbers>& game, const std::optional<FileVersionNumbers>& package);

// "0.6.2.0"
std::wstring VersionNumbersText(const FileVersionNumbers& version);

// The version a file of a game shows (an upscaler's DLL, say): its fixed file
// version, the fourth number left out when it is 0 ("3.7.10" where the DLL
// says 3.7.10.0, as its maker writes it); where the fixed part is missing or
// all zeros, the first FileVersion text of its translations (U.S. English,
// code page 1252, when it lists none), cut at its first control character,
// trimmed and at most kMaxShownVersionLength long. Empty when neither is
// there. With it the ProductName the same way ReadProductNameInBlock finds
// it, which tells the mod's own DLL under a borrowed name from the game's.
inline constexpr size_t kMaxShownVersionLength = 40;
struct ShownFileVersion {
  std::wstring version;
  std::wstring productName;
};
ShownFileVersion ShownFileVersionInBlock(std::span<const uint8_t> block);

}  // namespace zrcc
