// Reading a file whole into memory (the one way the program takes in its
// list file and the small files it finds on a disk), and replacing a file's
// whole content in one step.
#pragma once

#include <windows.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/win_handles.h"

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

// A file opened for reading ranges of it (a PE file's headers, a launcher
// file of many megabytes streamed), shared for everything while it is open,
// as ReadWholeFile shares it.
class FileRanges {
 public:
  explicit FileRanges(const std::wstring& path);
  FileRanges(const FileRanges&) = delete;
  FileRanges& operator=(const FileRanges&) = delete;
  // Read once the file is open and measured; Missing or Unreadable as
  // ReadWholeFile tells them.
  FileRead state() const { return state_; }
  uint64_t size() const { return size_; }
  // Exactly `length` bytes at `offset`; false on a short read or a fault.
  bool ReadAt(uint64_t offset, void* out, size_t length) const;

 private:
  UniqueHandle file_;
  uint64_t size_ = 0;
  FileRead state_ = FileRead::Unreadable;
};

// Writes `bytes` to `path` through a temporary file beside it (path +
// ".saving") that then replaces the file in one step, so the file is always
// either what it was or the new content. A read-only file is not replaced.
// False with the system's error when anything failed; the file is then as
// it was.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes, DWORD& error);

// The path the file or directory behind `handle` has once every link is
// resolved (GetFinalPathNameByHandleW, at any length); empty when the system
// cannot say.
std::wstring FinalPathOf(HANDLE handle);

}  // namespace zrcc
