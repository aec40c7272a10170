// Whether a copy of the mod package really arrived: the shell's copy can
// report success while it left files out or cut them short (a locked or
// read-only file in the way, a full disk).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zrcc {

// A file of the package that is missing from the target, or there with
// another size.
struct ShortCopy {
  std::wstring relativePath;            // below the package and the target, as "shaders\a.bin"
  uint64_t expectedBytes = 0;           // its size in the package
  std::optional<uint64_t> foundBytes;   // its size in the target; none when no such file is there
};

// Compares every file the package copy takes (everything but the package's
// top-level "Licenses" folder, folders with all their contents) with the
// file of the same place in `targetFolder`, in listing order. Folders that
// are links are not entered. Empty when everything arrived whole, or when
// the package cannot be listed (there was nothing to compare then).
std::vector<ShortCopy> FindShortCopies(const std::wstring& packageFolder, const std::wstring& targetFolder);

}  // namespace zrcc
