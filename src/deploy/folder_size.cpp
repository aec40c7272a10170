#include "deploy/folder_size.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>

#include "helpers/paths.h"
#include "helpers/win_handles.h"

namespace zrcc {

namespace {

// What makes a directory the same one whichever path or link reaches it.
struct DirectoryId {
  uint64_t volume = 0;
  uint8_t file[16] = {};
  bool operator==(const DirectoryId& other) const {
    return volume == other.volume && std::memcmp(file, other.file, sizeof file) == 0;
  }
};

// The identity of the directory a path leads to (through any links); nullopt
// when it cannot be opened. Asks for no access rights, so folders the user may
// not read can still be identified.
std::optional<DirectoryId> IdentifyDirectory(const std::wstring& folder) {
  UniqueHandle dir(CreateFileW(ExtendedLengthPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!dir) return std::nullopt;
  DirectoryId id;
  FILE_ID_INFO full{};
  if (GetFileInformationByHandleEx(dir.get(), FileIdInfo, &full, sizeof full)) {
    id.volume = full.VolumeSerialNumber;
    static_assert(sizeof full.FileId.Identifier == sizeof id.file);
    std::memcpy(id.file, full.FileId.Identifier, sizeof id.file);
    return id;
  }
  // File systems or systems without 128-bit identities.
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(dir.get(), &info)) return std::nullopt;
  id.volume = info.dwVolumeSerialNumber;
  const uint64_t index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  std::memcpy(id.file, &index, sizeof index);
  return id;
}

// One directory the walk is inside, with its open listing and the entry
// that listing returned last.
struct OpenDirectory {
  OpenDirectory(std::wstring path_, std::optional<DirectoryId> id_, HANDLE listing_,
                const WIN32_FIND_DATAW& first)
      : path(std::move(path_)), id(id_), listing(listing_), entry(first) {}
  std::wstring path;
  std::optional<DirectoryId> id;
  FindHandle listing;
  WIN32_FIND_DATAW entry;
  bool entryPending = true;  // `entry` came from FindFirstFileW and is not counted yet
};

// The walk keeps its own stack instead of recursing, so however deep the tree
// (or a chain of links) goes, the thread's stack cannot run out.
class FolderWalk {
 public:
  uint64_t Measure(const std::wstring& folder) {
    Enter(folder);
    while (!descent_.empty()) {
      OpenDirectory& current = descent_.back();
      if (!current.entryPending && !FindNextFileW(current.listing.get(), &current.entry)) {
        descent_.pop_back();
        continue;
      }
      current.entryPending = false;
      const WIN32_FIND_DATAW& entry = current.entry;
      if (std::wcscmp(entry.cFileName, L".") == 0 || std::wcscmp(entry.cFileName, L"..") == 0) continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        Enter(JoinPath(current.path, entry.cFileName));
      } else {
        total_ += (uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
      }
    }
    return total_;
  }

 private:
  void Enter(const std::wstring& folder) {
    const std::optional<DirectoryId> id = IdentifyDirectory(folder);
    // A link back to a directory the walk is already inside would repeat
    // the same files without end.
    if (id && std::any_of(descent_.begin(), descent_.end(),
                          [&](const OpenDirectory& open) { return open.id == id; })) {
      return;
    }
    WIN32_FIND_DATAW first{};
    const HANDLE listing = FindFirstFileW(ExtendedLengthPath(JoinPath(folder, L"*")).c_str(), &first);
    if (listing == INVALID_HANDLE_VALUE) return;
    descent_.emplace_back(folder, id, listing, first);
  }

  std::deque<OpenDirectory> descent_;
  uint64_t total_ = 0;
};

}  // namespace

uint64_t MeasureFolderSize(const std::wstring& folder) {
  // An empty text names no folder; it is never taken for the current one.
  if (folder.empty()) return 0;
  return FolderWalk().Measure(folder);
}

}  // namespace zrcc
