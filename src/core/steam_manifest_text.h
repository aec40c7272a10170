// The little of the Steam app manifest format the program needs: the quoted
// value after a quoted key (to name library games), which files are
// manifests, and whether Steam is in the middle of updating the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zrcc {

// The value of `key` in a manifest's UTF-8 bytes: the quoted text that
// follows the first quoted text equal to the key. Steam escapes a quote or
// a backslash inside a quoted text with a backslash: \" and \\ stand for
// one quote and one backslash and never end the text; any other backslash
// is kept as it is. The search is case-sensitive. Invalid UTF-8 is decoded
// leniently. Empty when the key, a quote or the input is missing.
std::wstring ExtractQuotedValue(const char* bytes, size_t length, const wchar_t* key);

// True when the name's extension (the part from its last dot) is exactly
// ".acf". A name whose only dot is its first character has no extension.
bool IsManifestFileName(std::wstring_view name);

// What a manifest says of the installed build: StateFlags, buildid and
// TargetBuildID of its outermost object, keys compared without regard to
// letter case as Steam reads them. A key nested deeper (in UserConfig, say)
// is not taken for one of these. Each is nothing when absent or not a plain
// decimal number that fits.
struct SteamAppState {
  std::optional<uint64_t> stateFlags;
  std::optional<uint64_t> buildId;
  std::optional<uint64_t> targetBuildId;
};
SteamAppState ReadSteamAppState(const char* bytes, size_t length);

// Where Steam stands with an update of the game. Copying into a game Steam
// is writing, or is about to write, mixes two builds' files.
enum class SteamUpdate { None, Pending, Paused, Running };

// Running: the flags for an update running (256) or downloading (1048576),
// or started (1024) and not paused; Paused: paused (512); Pending: update
// required (2), or a TargetBuildID that is not 0 and differs from buildid.
SteamUpdate DecideSteamUpdate(const SteamAppState& state);


}  // namespace zrcc
