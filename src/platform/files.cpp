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

}  // namespace zrcc
