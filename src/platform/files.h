// Reading a file whole into memory: the one way the program takes in its
// list file and the small files it finds on a disk.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace zrcc {

enum class FileRead {
  Read,
  Missing,     // nothing can be seen at the path
  Unreadable,  // something is there, but it cannot be opened or read (a folder, a locked file, a failing disk)
  TooLarge,    // larger than the limit, or than the memory the program can take
};

// Reads the file at `path` (any length) into `bytes`, when it is no larger
// than `limit` bytes; `bytes` is only meaningful after FileRead::Read. The
// file is shared for everything while it is read, so the read never keeps
// another program (Steam updating a manifest, an editor) from its file. A
// file that shrinks while it is read gives what was there; one that grows
// gives its size when the read began.
// `systemError`, when given, receives the system's error code of an
// Unreadable result (another program holding the file open, say).
FileRead ReadWholeFile(const std::wstring& path, std::string& bytes,
                       uint64_t limit = std::numeric_limits<uint64_t>::max(), uint32_t* systemError = nullptr);

}  // namespace zrcc
