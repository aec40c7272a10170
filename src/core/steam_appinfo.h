// Steam's own record of how each app is started: appcache\appinfo.vdf, a
// binary file of every app the account has seen, in its versions 39, 40 and
// 41. Read as outside input, streamed entry by entry through a reader of
// byte ranges, every length checked; a file cut short or damaged gives the
// apps read before the fault. Finding the file and the games lives in
// discovery/steam_launch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zrcc {

// The file holds every app the account has ever seen, tens of megabytes on
// a long-used account; past this it is taken for damage, not read.
inline constexpr uint64_t kMaxAppInfoBytes = 256ull * 1024 * 1024;
// One app's entry is a few kilobytes, the largest known some hundreds.
inline constexpr uint32_t kMaxAppInfoEntryBytes = 16u * 1024 * 1024;

// Reads exactly `length` bytes at `offset` of the file into `out`; false
// when that is not possible.
using AppInfoReadAt = std::function<bool(uint64_t offset, void* out, size_t length)>;

// What one app's entry says about starting it on Windows.
struct SteamAppLaunch {
  uint32_t appId = 0;
  std::wstring installDir;  // the folder's name below steamapps\common; may be empty
  // The executables of the launch entries a plain "Play" would start, below
  // the install folder with backslashes, best first: entries for Windows (or
  // for every system) of type "default", "none" or none; of the branch the
  // game is on, else of no branch; 64-bit before unnamed before 32-bit; then
  // in the file's order. Never rooted, never leaving the folder.
  std::vector<std::wstring> executables;
};

struct AppInfoLaunches {
  bool understood = false;  // the header is one of a known version
  bool complete = false;    // read to the end marker without a fault
  std::vector<SteamAppLaunch> apps;  // in file order: those read before any fault
};

// The apps of `wanted` (app id to the branch the game's manifest names;
// empty or "public" for the default branch), or of every app when `wanted`
// is null, each with its launch executables. A file larger than
// kMaxAppInfoBytes is not understood.
AppInfoLaunches ReadAppInfoLaunches(const AppInfoReadAt& read, uint64_t fileSize,
                                    const std::unordered_map<uint32_t, std::wstring>* wanted);

// The same on a file held in memory.
AppInfoLaunches ReadAppInfoLaunches(std::string_view bytes, const std::unordered_map<uint32_t, std::wstring>* wanted);

}  // namespace zrcc
