// The files game launchers keep about what they installed, read as outside
// input: Steam's list of libraries (libraryfolders.vdf) and the Epic Games
// launcher's manifests (*.item, JSON). Pure text work; finding and reading
// the files lives in discovery/launchers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// Launcher files are small (a list of libraries, one game's manifest); a
// larger one is passed over as damaged rather than read.
inline constexpr uint64_t kMaxLauncherFileBytes = 1024 * 1024;

// The library folders of a libraryfolders.vdf, in file order, as Steam wrote
// them ("\\" and "\"" unescaped). Both layouts are read: numbered entries
// holding a "path" (and an "apps" list), and the older numbered keys whose
// values are the paths; other keys (statistics, labels) are passed over.
// Nothing when the bytes are not such a file: not UTF-8, cut short, unbalanced
// braces, nesting past any real file's depth.
std::optional<std::vector<std::wstring>> ReadLibraryFolders(std::string_view bytes);

// What an Epic manifest says about one installed game.
struct EpicManifest {
  std::wstring displayName;       // the game's name; may be empty
  std::wstring installLocation;   // the game folder; never empty
  std::wstring launchExecutable;  // the executable, relative to the folder; may be empty
};

// The manifest's top-level "DisplayName", "InstallLocation" and
// "LaunchExecutable" strings. Nothing when the bytes are not one whole JSON
// object in UTF-8 (a byte order mark allowed) or name no install location.
std::optional<EpicManifest> ReadEpicManifest(std::string_view bytes);

}  // namespace zrcc
