// The Xbox app's marker of a drive that holds game libraries: the hidden
// file ".GamingRoot" at the drive's root, naming the library folders of that
// drive. Pure byte work; which drives exist and what the folders hold lives
// in discovery/launcher_xbox.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// A drive's marker names a few libraries; more than this is no real file.
inline constexpr size_t kMaxGamingRootFolders = 64;

// The library folders a .GamingRoot names, relative to its drive's root
// ("XboxGames", "Games\Xbox"), in file order: the magic "RGBX", a count, then
// that many NUL-terminated UTF-16LE paths. Only whole paths count: a file cut
// short gives the paths before the cut. A path that could lead elsewhere
// (a drive or stream colon, "..", an unpaired surrogate, longer than any
// path) is passed over; leading separators are dropped, so "\XboxGames" is
// the same folder. Nothing when the bytes are no such file.
std::optional<std::vector<std::wstring>> ReadGamingRoot(std::string_view bytes);

}  // namespace zrcc
