// The "Size" of a game: the bytes of every file below its folder.
#pragma once

#include <cstdint>
#include <string>

namespace zrcc {

// Sum of the sizes the directory listings report for all files below
// `folder`, with or without a trailing backslash; 0 when it cannot be
// listed. Folders that are links are followed and their targets counted,
// except a link back to a folder the walk is already inside, so a cycle of
// links ends. Subfolders that cannot be listed add nothing; no file is
// opened. Paths of any length are walked.
uint64_t MeasureFolderSize(const std::wstring& folder);

}  // namespace zrcc
