#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "core/paths.h"
#include "platform/win_handles.h"

namespace zrcc {

FileRead ReadWholeFile(const std::wstring& path, std::string& bytes, uint64_t limit, uint32_t* systemError) {
  bytes.clear();
  const auto unreadable = [systemError] {
    if (systemError) *systemError = GetLastError();
    return FileRead::Unreadable;
  };
  const std::wstring systemPath = ExtendedLengthPath(path);
  UniqueHandle file(CreateFileW(systemPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    // Whatever the open's reason, what cannot even be seen counts as absent:
    // only a file that is there may be worth keeping when it cannot be read.
    const DWORD openError = GetLastError();
    if (GetFileAttributesW(systemPath.c_str()) == INVALID_FILE_ATTRIBUTES) return FileRead::Missing;
    SetLastError(openError);
    return unreadable();
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return unreadable();
  if (static_cast<uint64_t>(size.QuadPart) > limit) return FileRead::TooLarge;
  try {
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  } catch (const std::bad_alloc&) {
    return FileRead::TooLarge;
  } catch (const std::length_error&) {
    return FileRead::TooLarge;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    // ReadFile counts in 32 bits; 16 MB at a time stays well inside.
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, size_t{1} << 24));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) {
      bytes.clear();
      return unreadable();
    }
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return FileRead::Read;
}

FileRanges::FileRanges(const std::wstring& path) {
  const std::wstring systemPath = ExtendedLengthPath(path);
  file_ = UniqueHandle(CreateFileW(systemPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) {
    state_ = GetFileAttributesW(systemPath.c_str()) == INVALID_FILE_ATTRIBUTES ? FileRead::Missing : FileRead::Unreadable;
    return;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file_.get(), &size) || size.QuadPart < 0) return;
  size_ = static_cast<uint64_t>(size.QuadPart);
  state_ = FileRead::Read;
}

bool FileRanges::ReadAt(uint64_t offset, void* out, size_t length) const {
  if (state_ != FileRead::Read) return false;
  auto* bytes = static_cast<uint8_t*>(out);
  while (length > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(length, size_t{1} << 24));
    DWORD got = 0;
    if (!ReadFile(file_.get(), bytes, chunk, &got, &at) || got == 0) return false;
    bytes += got;
    offset += got;
    length -= got;
  }
  return true;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& bytes, DWORD& error) {
  // A file the user made read-only is not replaced (Windows refuses that
  // itself; Wine's rename would not).
  const std::wstring target = ExtendedLengthPath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    error = ERROR_ACCESS_DENIED;
    return false;
  }
  const std::wstring temp = ExtendedLengthPath(path + L".saving");
  {
    UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      error = GetLastError();
      return false;
    }
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
      DWORD written = 0;
      ok = WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) && written == chunk;
      done += written;
    }
    if (ok) ok = FlushFileBuffers(file.get()) != 0;
    if (!ok) {
      error = GetLastError();
      if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
      file.reset();
      DeleteFileW(temp.c_str());
      return false;
    }
  }
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

std::wstring FinalPathOf(HANDLE handle) {
  std::wstring path(512, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length + 1);
  }
  return {};
}

}  // namespace zrcc
