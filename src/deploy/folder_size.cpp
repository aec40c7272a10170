#include "deploy/folder_size.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/paths.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

// What makes a directory the same one whichever path or link reaches it.
// Some file systems (network shares, virtual machines' drives) number no
// file: there the path the system resolves the directory to (links followed)
// stands in for the number.
struct DirectoryId {
  uint64_t volume = 0;
  uint8_t file[16] = {};
  std::wstring resolvedPath;  // only where the file number is 0
  bool operator==(const DirectoryId& other) const {
    return volume == other.volume && std::memcmp(file, other.file, sizeof file) == 0 &&
           resolvedPath == other.resolvedPath;
  }
  bool HasFileNumber() const {
    return std::any_of(std::begin(file), std::end(file), [](uint8_t b) { return b != 0; });
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
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandleEx(dir.get(), FileIdInfo, &full, sizeof full)) {
    id.volume = full.VolumeSerialNumber;
    static_assert(sizeof full.FileId.Identifier == sizeof id.file);
    std::memcpy(id.file, full.FileId.Identifier, sizeof id.file);
  } else if (GetFileInformationByHandle(dir.get(), &info)) {
    // File systems or systems without 128-bit identities.
    id.volume = info.dwVolumeSerialNumber;
    const uint64_t index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    std::memcpy(id.file, &index, sizeof index);
  } else {
    return std::nullopt;
  }
  if (!id.HasFileNumber()) {
    id.resolvedPath = FinalPathOf(dir.get());
    if (id.resolvedPath.empty()) return std::nullopt;
  }
  return id;
}

// The low 64 bits of a file identity, the number a directory listing gives
// each entry on the same volume; 0 when it has more bits than that.
uint64_t ShortFileNumber(const DirectoryId& id) {
  uint64_t low = 0, high = 0;
  std::memcpy(&low, id.file, sizeof low);
  std::memcpy(&high, id.file + sizeof low, sizeof high);
  return high == 0 ? low : 0;
}

struct ListedEntry {
  std::wstring name;
  DWORD attributes = 0;
  uint64_t size = 0;  // as listed: the file's logical size
};

enum class Listing { Read, CannotOpen, Unsupported };

// Reads a whole directory through one handle opened on it: the entries in
// listing order and the directory's own file number, from its "." entry (0
// when there is none, as in a drive root). One open per directory gives both
// the listing and what the cycle guard needs, where asking for an identity
// separately would cost a second open and a volume query per directory.
Listing ReadDirectoryHandle(const std::wstring& folder, std::vector<ListedEntry>& entries, uint64_t& ownNumber) {
  UniqueHandle dir(CreateFileW(ExtendedLengthPath(folder).c_str(), FILE_LIST_DIRECTORY,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!dir) return Listing::CannotOpen;
  // Entries come in batches; one buffer per thread serves every directory.
  thread_local std::vector<uint64_t> buffer(64 * 1024 / sizeof(uint64_t));
  const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
  bool first = true;
  while (GetFileInformationByHandleEx(dir.get(), FileIdBothDirectoryInfo, buffer.data(), bytes)) {
    first = false;
    const auto* base = reinterpret_cast<const unsigned char*>(buffer.data());
    for (size_t offset = 0;;) {
      const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(base + offset);
      const std::wstring_view name(info->FileName, info->FileNameLength / sizeof(wchar_t));
      if (name == L".") {
        const uint64_t number = static_cast<uint64_t>(info->FileId.QuadPart);
        ownNumber = number == ~uint64_t{0} ? 0 : number;
      }
      entries.push_back({std::wstring(name), info->FileAttributes, static_cast<uint64_t>(info->EndOfFile.QuadPart)});
      if (info->NextEntryOffset == 0) break;
      offset += info->NextEntryOffset;
    }
  }
  if (first && GetLastError() != ERROR_NO_MORE_FILES) return Listing::Unsupported;
  return Listing::Read;
}

// The same through an ordinary listing, for file systems that cannot list
// through a handle. The directory's number stays unknown.
bool ReadDirectoryListing(const std::wstring& folder, std::vector<ListedEntry>& entries) {
  return ForEachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
           entries.push_back(
               {data.cFileName, data.dwFileAttributes, (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow});
         }).Listed();
}

// A directory as the walk met it: where, and what it is once asked. Its full
// identity costs a second open, so it is asked for only when the file
// number from the listing cannot settle the question alone.
struct MetDirectory {
  std::wstring path;
  uint64_t number = 0;                           // its file number; 0 when unknown
  std::optional<std::optional<DirectoryId>> id;  // its full identity, once asked for

  const std::optional<DirectoryId>& Identity() {
    if (!id) id = IdentifyDirectory(path);
    return *id;
  }
};

// One directory the walk is inside: its entries and how far they are handled.
struct OpenDirectory {
  MetDirectory met;
  std::vector<ListedEntry> entries;
  size_t next = 0;
  bool visiting = false;  // its plain files go to the visitor
};

// Whether two directories with the same file number are the same one: two
// volumes' directories may share a number, so the full identities decide.
bool SameDirectory(MetDirectory& a, MetDirectory& b) {
  const std::optional<DirectoryId>& first = a.Identity();
  const std::optional<DirectoryId>& second = b.Identity();
  if (first && second) return *first == *second;
  // Unidentifiable: equal numbers still mean the same directory, so that a
  // cycle always ends.
  return true;
}

// The directories one walk has entered. Each directory is entered once,
// however many links lead to it: a folder reached again is neither counted
// nor searched again, so a maze of links (two links to the same next folder
// on every level doubling the paths) costs one visit per folder, not one per
// path.
class EnteredDirectories {
 public:
  // False when `dir` was entered before; otherwise it is recorded.
  bool Enter(MetDirectory& dir) {
    if (dir.number) {
      std::vector<MetDirectory>& same = byNumber_[dir.number];
      for (MetDirectory& earlier : same) {
        if (SameDirectory(earlier, dir)) return false;
      }
      same.push_back(dir);
      return true;
    }
    // Nothing numbers it: the full identity (with the resolved path where
    // the file system numbers nothing) is the key. A directory that cannot
    // even be identified is known by the path the walk took to it.
    std::wstring key;
    if (const std::optional<DirectoryId>& id = dir.Identity()) {
      key = std::to_wstring(id->volume) + L':';
      for (uint8_t b : id->file) key += static_cast<wchar_t>(0x100 + b);
      key += id->resolvedPath;
    } else {
      key = L"?" + dir.path;
    }
    return byKey_.insert(std::move(key)).second;
  }

 private:
  std::unordered_map<uint64_t, std::vector<MetDirectory>> byNumber_;
  std::unordered_set<std::wstring> byKey_;
};

// The walk keeps its own stack instead of recursing, so however deep the tree
// (or a chain of links) goes, the thread's stack cannot run out. A directory
// is read whole and closed before the walk goes on, so no handle stays open
// while the walk is below it. Folders that are marked as links are entered
// only after every plain folder: a folder met first through a link would
// otherwise be entered unsearched, and then passed over where the search
// reaches it as a plain folder.
class FolderWalk {
 public:
  FolderWalk(const PlainFileVisitor* visit, const PlainFolderVisitor* visitFolder, const std::atomic<bool>* stop)
      : visit_(visit), visitFolder_(visitFolder), stop_(stop) {}

  uint64_t Run(const std::wstring& folder) {
    Enter(folder, visit_ != nullptr);
    while (!descent_.empty() || !links_.empty()) {
      // Checked per entry, not per game: closing the window must not wait
      // for a whole game tree to be walked.
      if (stop_ && stop_->load(std::memory_order_relaxed)) break;
      if (descent_.empty()) {
        const std::wstring link = std::move(links_.back());
        links_.pop_back();
        Enter(link, false);
        continue;
      }
      OpenDirectory& current = descent_.back();
      if (current.next == current.entries.size()) {
        descent_.pop_back();
        continue;
      }
      const ListedEntry& entry = current.entries[current.next++];
      if (entry.name == L"." || entry.name == L"..") continue;
      const bool link = entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT;
      if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // `current` and `entry` stay valid: the stack is a deque.
        if (link) {
          links_.push_back(JoinPath(current.met.path, entry.name));
        } else {
          if (current.visiting && visitFolder_) (*visitFolder_)(current.met.path, entry.name.c_str());
          Enter(JoinPath(current.met.path, entry.name), current.visiting);
        }
      } else {
        total_ += entry.size;
        if (current.visiting && !link) (*visit_)(current.met.path, entry.name.c_str());
      }
    }
    return total_;
  }

 private:
  void Enter(const std::wstring& folder, bool visiting) {
    OpenDirectory dir;
    dir.met.path = folder;
    const Listing read = ReadDirectoryHandle(folder, dir.entries, dir.met.number);
    if (read == Listing::CannotOpen) return;
    if (read == Listing::Unsupported) {
      dir.entries.clear();
      if (!ReadDirectoryListing(folder, dir.entries)) return;
    }
    if (!dir.met.number) {
      // No "." entry: the number comes from the full identity instead.
      if (const std::optional<DirectoryId>& id = dir.met.Identity()) dir.met.number = ShortFileNumber(*id);
    }
    // A folder entered before, through whatever path or link, is not walked
    // again. That also ends every cycle of links, including links a file
    // system does not mark as such, which are walked as plain folders.
    if (!entered_.Enter(dir.met)) return;
    dir.visiting = visiting;
    descent_.push_back(std::move(dir));
  }

  const PlainFileVisitor* visit_;
  const PlainFolderVisitor* visitFolder_;
  const std::atomic<bool>* stop_;
  std::deque<OpenDirectory> descent_;
  std::vector<std::wstring> links_;  // folder links met, entered last
  EnteredDirectories entered_;
  uint64_t total_ = 0;
};

}  // namespace

uint64_t MeasureFolderSize(const std::wstring& folder, const std::atomic<bool>* stop) {
  // An empty text names no folder; it is never taken for the current one.
  if (folder.empty()) return 0;
  return FolderWalk(nullptr, nullptr, stop).Run(folder);
}

uint64_t MeasureFolderSizeVisiting(const std::wstring& folder, const PlainFileVisitor& visit,
                                   const std::atomic<bool>* stop) {
  if (folder.empty()) return 0;
  return FolderWalk(&visit, nullptr, stop).Run(folder);
}

uint64_t MeasureFolderSizeVisiting(const std::wstring& folder, const PlainFileVisitor& visitFile,
                                   const PlainFolderVisitor& visitFolder, const std::atomic<bool>* stop) {
  if (folder.empty()) return 0;
  return FolderWalk(&visitFile, visitFolder ? &visitFolder : nullptr, stop).Run(folder);
}

}  // namespace zrcc
