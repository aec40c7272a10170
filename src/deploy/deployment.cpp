#include "deploy/deployment.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/package_rules.h"
#include "core/paths.h"
#include "core/sha256.h"
#include "core/text.h"
#include "deploy/copy_deploy.h"
#include "deploy/scripts.h"
#include "platform/background_job.h"
#include "platform/disk.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

std::wstring BackupRoot(const std::wstring& exeFolder) { return JoinPath(exeFolder, kBackupFolderName); }
std::wstring RecordPath(const std::wstring& exeFolder) { return JoinPath(BackupRoot(exeFolder), kRecordFileName); }

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(ExtendedLengthPath(path).c_str()); }
bool Exists(DWORD attributes) { return attributes != INVALID_FILE_ATTRIBUTES; }
bool IsLink(DWORD attributes) { return Exists(attributes) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT); }
bool IsFolder(DWORD attributes) { return Exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY); }

void Step(const FileStep& step) {
  if (step) step();
}

// Whether nothing on the way from `base` to `relative` below it, the end
// included, is a link: a record or a package path must not lead out of the
// folder through a link someone laid in it. Parts that do not exist (yet)
// lead nowhere.
bool NoLinkOnTheWay(const std::wstring& base, std::wstring_view relative) {
  std::wstring path = base;
  size_t start = 0;
  while (start < relative.size()) {
    size_t end = relative.find(L'\\', start);
    if (end == std::wstring_view::npos) end = relative.size();
    path = JoinPath(path, relative.substr(start, end - start));
    start = end + 1;
    const DWORD attributes = Attributes(path);
    if (!Exists(attributes)) return true;
    if (IsLink(attributes)) return false;
  }
  return true;
}

// Whether the first part of `relative` is the backup folder under another
// spelling the system accepts (its short 8.3 name, say), which the text
// rules of the record cannot see.
bool EntersBackupFolder(const std::wstring& exeFolder, std::wstring_view relative) {
  const std::wstring first(relative.substr(0, relative.find(L'\\')));
  WIN32_FIND_DATAW data{};
  const FindHandle found(FindFirstFileExW(ExtendedLengthPath(JoinPath(exeFolder, first)).c_str(), FindExInfoBasic,
                                          &data, FindExSearchNameMatch, nullptr, 0));
  return found && LowerKey(data.cFileName) == kBackupFolderName;
}

// Whether a path of a record or a plan may be acted on below the executable
// folder: its text keeps the record's rules, it does not enter the backup
// folder under another spelling, and nothing on the way is a link. Each
// folder on the way is looked at once, however many files lie in it: a
// package's thousands of files share a few folders.
class SafePlaces {
 public:
  explicit SafePlaces(std::wstring exeFolder) : exeFolder_(std::move(exeFolder)) {}

  bool Safe(std::wstring_view relative) {
    if (!UnsafeRecordPathReason(relative).empty()) return false;
    const auto [entered, freshFirst] = entersBackup_.try_emplace(LowerKey(relative.substr(0, relative.find(L'\\'))));
    if (freshFirst) entered->second = EntersBackupFolder(exeFolder_, relative);
    if (entered->second) return false;
    for (size_t end = relative.find(L'\\'); end != std::wstring_view::npos; end = relative.find(L'\\', end + 1)) {
      const auto [folder, fresh] = folders_.try_emplace(LowerKey(relative.substr(0, end)), Folder::Plain);
      if (fresh) {
        const DWORD attributes = Attributes(JoinPath(exeFolder_, relative.substr(0, end)));
        folder->second = !Exists(attributes) ? Folder::Absent : IsLink(attributes) ? Folder::Link : Folder::Plain;
      }
      if (folder->second == Folder::Link) return false;
      if (folder->second == Folder::Absent) return true;  // nothing below it leads anywhere (yet)
    }
    return !IsLink(Attributes(JoinPath(exeFolder_, relative)));
  }

 private:
  enum class Folder { Plain, Absent, Link };
  std::wstring exeFolder_;
  std::unordered_map<std::wstring, bool> entersBackup_;
  std::unordered_map<std::wstring, Folder> folders_;
};

struct FileDigest {
  uint64_t size = 0;
  std::wstring sha256;
  bool operator==(const FileDigest&) const = default;
};

// The size and SHA-256 of a file; nullopt (with the system's reason in
// `error`, when given) when it is no file or cannot be read.
std::optional<FileDigest> DigestOf(const std::wstring& path, DWORD* error = nullptr) {
  const UniqueHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  auto fail = [error] {
    if (error) *error = GetLastError();
    return std::nullopt;
  };
  if (!file) return fail();
  Sha256 hash;
  FileDigest digest;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return fail();
    if (got == 0) break;
    hash.Update(buffer.data(), got);
    digest.size += got;
  }
  digest.sha256 = DigestHex(hash.Final());
  return digest;
}

// What lies at one path: looked at once, read (for its digest) only when a
// question needs it and its size does not already answer it.
class FileAt {
 public:
  explicit FileAt(std::wstring path) : path_(std::move(path)) {
    WIN32_FILE_ATTRIBUTE_DATA seen{};
    if (!GetFileAttributesExW(ExtendedLengthPath(path_).c_str(), GetFileExInfoStandard, &seen)) return;
    exists_ = true;
    folder_ = (seen.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_ = (uint64_t{seen.nFileSizeHigh} << 32) | seen.nFileSizeLow;
  }
  bool Exists() const { return exists_; }
  bool IsFile() const { return exists_ && !folder_; }
  bool IsFolder() const { return exists_ && folder_; }
  uint64_t Size() const { return size_; }
  const std::wstring& Path() const { return path_; }
  const std::optional<FileDigest>& Digest() {
    if (!digested_) {
      if (IsFile()) digest_ = DigestOf(path_, &error_);
      digested_ = true;
    }
    return digest_;
  }
  DWORD DigestError() const { return error_; }  // why there is no digest
  bool Holds(uint64_t size, const std::wstring& sha256) {
    return IsFile() && !sha256.empty() && size_ == size && Digest() && Digest()->sha256 == sha256;
  }
  bool Holds(const WrittenFile* file) { return file && Holds(file->size, file->sha256); }
  bool Holds(const KeptFile* file) { return file && Holds(file->size, file->sha256); }

 private:
  std::wstring path_;
  bool exists_ = false;
  bool folder_ = false;
  uint64_t size_ = 0;
  bool digested_ = false;
  std::optional<FileDigest> digest_;
  DWORD error_ = ERROR_SUCCESS;
};

bool StillAsWritten(const std::wstring& exeFolder, SafePlaces& places, const WrittenFile& file) {
  if (!places.Safe(file.path)) return false;
  // The size first: a file of another size is not read at all (every load
  // checks the record of every game that has one).
  return FileAt(JoinPath(exeFolder, file.path)).Holds(file.size, file.sha256);
}

// Whether what lies at a place is the mod's, by what the record says of it:
// still as a copy wrote it, or the file a copy began and did not finish
// (whole, or a piece: a file being copied is never larger than what is
// being copied into it).
bool HoldsCopysFile(FileAt& file, const WrittenFile* written, const WrittenFile* planned) {
  if (!file.IsFile()) return false;
  if (file.Holds(written)) return true;
  return planned && (file.Size() <= planned->size || file.Holds(planned));
}

// Removes the empty folders at and below `folder`, deepest first; a folder
// that holds anything, and anything behind a link, stays.
void RemoveEmptyFolders(const std::wstring& folder) {
  const DWORD attributes = Attributes(folder);
  if (!IsFolder(attributes) || IsLink(attributes)) return;
  std::vector<std::wstring> children;
  ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      children.push_back(JoinPath(folder, entry.cFileName));
    }
  });
  for (const std::wstring& child : children) RemoveEmptyFolders(child);
  RemoveDirectoryW(ExtendedLengthPath(folder).c_str());
}

// A file made writable, so that it can be replaced or deleted: it was kept,
// or it is the copy's own.
void ClearReadOnly(const std::wstring& path) {
  const DWORD attributes = Attributes(path);
  if (Exists(attributes) && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(ExtendedLengthPath(path).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
}

// A backup folder of this moment that does not exist yet.
std::wstring NewBackupName(const std::wstring& exeFolder) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  for (int sequence = 1;; ++sequence) {
    const std::wstring name =
        BackupFolderName(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, sequence);
    if (!Exists(Attributes(JoinPath(BackupRoot(exeFolder), name)))) return name;
  }
}

// The package's files and folders below its top level, relative to it, in
// listing order, folders before what they hold. Linked folders inside the
// package are not entered.
DeployProblem ListPackage(const std::wstring& package, DeploymentPlan& plan) {
  std::vector<PackageEntry> top;
  const ListingResult listed = ForEachEntry(package, [&](const WIN32_FIND_DATAW& entry) {
    top.push_back({entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  });
  if (!listed.Listed()) return {DeployFault::PackageUnreadable, package, listed.error};
  // A package never brings a backup folder of its own.
  std::vector<std::wstring> names;
  for (const std::wstring& name : PackageEntriesToCopy(top)) {
    if (LowerKey(name) != kBackupFolderName) names.push_back(name);
  }
  // Depth first, in listing order: a stack of relative paths still to visit.
  std::vector<std::wstring> stack(names.rbegin(), names.rend());
  while (!stack.empty()) {
    const std::wstring relative = std::move(stack.back());
    stack.pop_back();
    const std::wstring source = JoinPath(package, relative);
    const DWORD attributes = Attributes(source);
    if (!IsFolder(attributes)) {
      PlannedFile file;
      file.path = relative;
      file.source = source;
      plan.files.push_back(std::move(file));
      continue;
    }
    if (IsLink(attributes)) continue;
    if (!IsFolder(Attributes(JoinPath(plan.exeFolder, relative)))) plan.newFolders.push_back(relative);
    std::vector<std::wstring> children;
    ForEachEntry(source, [&](const WIN32_FIND_DATAW& entry) { children.push_back(JoinPath(relative, entry.cFileName)); });
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return {};
}

// Deletes a backup folder made moments ago, with the copies in it. Never
// used on a folder that held anything before.
void RemoveFreshBackup(const std::wstring& folder) {
  std::vector<std::wstring> folders;
  ForEachEntry(folder, [&](const WIN32_FIND_DATAW& entry) {
    const std::wstring path = JoinPath(folder, entry.cFileName);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      RemoveDirectoryW(ExtendedLengthPath(path).c_str());  // a link laid in meanwhile: never entered
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      folders.push_back(path);
    } else {
      ClearReadOnly(path);
      DeleteFileW(ExtendedLengthPath(path).c_str());
    }
  });
  for (const std::wstring& child : folders) RemoveFreshBackup(child);
  RemoveDirectoryW(ExtendedLengthPath(folder).c_str());
}

// One kind of record entry by path (any letter case), in record order; an
// entry put again for a path takes the place of the one before.
template <typename Entry>
class EntriesByPath {
 public:
  explicit EntriesByPath(const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) Put(entry);
  }
  const Entry* Find(const std::wstring& key) const {
    const auto found = index_.find(key);
    return found == index_.end() ? nullptr : &*entries_[found->second];
  }
  void Put(Entry entry) {
    const auto [at, fresh] = index_.try_emplace(LowerKey(entry.path), entries_.size());
    if (fresh) {
      entries_.emplace_back(std::move(entry));
    } else {
      entries_[at->second] = std::move(entry);
    }
  }
  void Erase(const std::wstring& key) {
    const auto found = index_.find(key);
    if (found == index_.end()) return;
    entries_[found->second].reset();
    index_.erase(found);
  }
  std::vector<Entry> Entries() const {
    std::vector<Entry> entries;
    for (const std::optional<Entry>& entry : entries_) {
      if (entry) entries.push_back(*entry);
    }
    return entries;
  }
  // Every path, as a key, in record order.
  std::vector<std::wstring> Keys() const {
    std::vector<std::wstring> keys;
    for (const std::optional<Entry>& entry : entries_) {
      if (entry) keys.push_back(LowerKey(entry->path));
    }
    return keys;
  }

 private:
  std::vector<std::optional<Entry>> entries_;
  std::unordered_map<std::wstring, size_t> index_;
};

// A record being changed entry by entry.
struct RecordBook {
  explicit RecordBook(const DeploymentRecord& record)
      : written(record.written), planned(record.planned), kept(record.kept), made(record.made) {}
  bool Covers(const std::wstring& key) const { return written.Find(key) || planned.Find(key) || kept.Find(key); }
  void EraseFile(const std::wstring& key) {
    written.Erase(key);
    planned.Erase(key);
    kept.Erase(key);
  }
  DeploymentRecord Record() const {
    DeploymentRecord record;
    record.written = written.Entries();
    record.planned = planned.Entries();
    record.kept = kept.Entries();
    record.made = made;
    return record;
  }
  EntriesByPath<WrittenFile> written;
  EntriesByPath<WrittenFile> planned;
  EntriesByPath<KeptFile> kept;
  std::vector<std::wstring> made;
};

// The record of `exeFolder` replaced by `record` in one step, or removed
// (with the backup folder, when it is empty) when nothing is left in it.
DeployProblem WriteRecord(const std::wstring& exeFolder, const DeploymentRecord& record, const FileStep& step) {
  const std::wstring path = RecordPath(exeFolder);
  Step(step);
  if (record.empty()) {
    if (!DeleteFileW(ExtendedLengthPath(path).c_str())) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return {DeployFault::RecordNotWritten, path, error};
    }
    RemoveDirectoryW(ExtendedLengthPath(BackupRoot(exeFolder)).c_str());
    return {};
  }
  const std::string bytes = FormatDeploymentRecord(record);
  if (!RecordWithinLimits(record, bytes.size())) return {DeployFault::RecordTooLarge, path};
  std::wstring blocker;
  if (const DWORD error = CreateFolders(BackupRoot(exeFolder), &blocker); error != ERROR_SUCCESS) {
    return {DeployFault::RecordNotWritten, blocker.empty() ? BackupRoot(exeFolder) : blocker, error};
  }
  DWORD error = 0;
  if (!ReplaceFileContents(path, bytes, error)) return {DeployFault::RecordNotWritten, path, error};
  return {};
}

// What the journal says before the copy: the record found, with every file
// about to be written as begun, every original about to be kept, and every
// folder about to be made.
DeploymentRecord JournalOf(const DeploymentPlan& plan, const std::vector<std::optional<FileDigest>>& found) {
  RecordBook book(plan.previous);
  for (size_t i = 0; i < plan.files.size(); ++i) {
    const PlannedFile& file = plan.files[i];
    const std::wstring key = LowerKey(file.path);
    const WrittenFile package{file.path, file.size, file.sha256};
    if (!file.write) {
      // The game holds the package's file already; where the record knows
      // the place as the mod's, it is the mod's file now.
      if (book.Covers(key)) {
        book.planned.Erase(key);
        book.written.Put(package);
      }
      continue;
    }
    if (file.keep) {
      book.kept.Put({plan.backup, file.path, found[i]->size, found[i]->sha256});
    } else if (found[i] && book.Covers(key)) {
      // The mod's file lies there (an earlier copy's, or a piece of an
      // interrupted one): recorded as it lies now, so that Undo still knows
      // it for the mod's whatever becomes of this copy.
      book.written.Put({file.path, found[i]->size, found[i]->sha256});
    }
    book.planned.Put(package);
  }
  std::set<std::wstring> made;
  for (const std::wstring& folder : book.made) made.insert(LowerKey(folder));
  for (const std::wstring& folder : plan.newFolders) {
    if (made.insert(LowerKey(folder)).second) book.made.push_back(folder);
  }
  return book.Record();
}

std::wstring KeptCopyPath(const std::wstring& exeFolder, const KeptFile& file) {
  return JoinPath(JoinPath(BackupRoot(exeFolder), file.backup), file.path);
}

// Whether the copy of a kept original is there, reached without passing a
// link laid into the backup folder.
bool KeptCopyThere(const std::wstring& exeFolder, const KeptFile& file) {
  return NoLinkOnTheWay(exeFolder, std::wstring(kBackupFolderName) + L"\\" + file.backup + L"\\" + file.path) &&
         IsExistingFile(KeptCopyPath(exeFolder, file));
}

// The digest of a kept original's copy; nullopt when it is not there.
std::optional<FileDigest> KeptCopyDigest(const std::wstring& exeFolder, const KeptFile& file) {
  if (!KeptCopyThere(exeFolder, file)) return std::nullopt;
  return DigestOf(KeptCopyPath(exeFolder, file));
}

void DeleteKeptCopy(const std::wstring& exeFolder, const KeptFile& file, const FileStep& step) {
  if (!KeptCopyThere(exeFolder, file)) return;
  const std::wstring copy = KeptCopyPath(exeFolder, file);
  Step(step);
  ClearReadOnly(copy);
  DeleteFileW(ExtendedLengthPath(copy).c_str());
}

// Copies a file of the game's into the backup and makes sure the copy is on
// the disk, whole, before the record says it is there.
DWORD KeepOriginal(const std::wstring& original, const std::wstring& kept, const FileDigest& expected) {
  if (const DWORD error = CreateFolders(kept.substr(0, kept.find_last_of(L'\\'))); error != ERROR_SUCCESS) return error;
  if (!CopyFileW(ExtendedLengthPath(original).c_str(), ExtendedLengthPath(kept).c_str(), TRUE)) return GetLastError();
  {
    // A copy kept read-only by CopyFileW still needs its data flushed.
    const DWORD attributes = Attributes(kept);
    if (!Exists(attributes)) return GetLastError();
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(ExtendedLengthPath(kept).c_str(), FILE_ATTRIBUTE_NORMAL);
    const UniqueHandle file(CreateFileW(ExtendedLengthPath(kept).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool flushed = file && FlushFileBuffers(file.get());
    const DWORD error = flushed ? ERROR_SUCCESS : GetLastError();
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(ExtendedLengthPath(kept).c_str(), attributes);
    if (!flushed) return error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error;
  }
  // What was kept is what the plan saw: the game did not change it meanwhile.
  if (DigestOf(kept) != expected) return ERROR_FILE_INVALID;
  return ERROR_SUCCESS;
}

}  // namespace

namespace {

DeployProblem ProblemOf(const LoadedRecord& loaded, const std::wstring& recordPath) {
  switch (loaded.found) {
    case RecordFound::None:
    case RecordFound::Valid:
      break;
    case RecordFound::Unreadable:
      return {DeployFault::RecordUnreadable, recordPath, loaded.error};
    case RecordFound::Ignored:
      return {DeployFault::RecordNotUsed, recordPath, 0, loaded.problem};
  }
  return {};
}

}  // namespace

DeployProblem RecordProblem(const std::wstring& exeFolder) {
  return ProblemOf(LoadDeploymentRecord(exeFolder, kLockedRecordWaitMs), RecordPath(exeFolder));
}

size_t DeploymentPlan::FilesToWrite() const {
  return static_cast<size_t>(std::count_if(files.begin(), files.end(), [](const PlannedFile& file) { return file.write; }));
}

std::wstring DeploymentRecordPath(const std::wstring& exeFolder) { return RecordPath(exeFolder); }

LoadedRecord LoadDeploymentRecord(const std::wstring& exeFolder, uint32_t lockWaitMs) {
  LoadedRecord loaded;
  auto ignore = [&loaded](const std::wstring& why) {
    loaded.found = RecordFound::Ignored;
    loaded.problem = why;
    return loaded;
  };
  const DWORD root = Attributes(BackupRoot(exeFolder));
  if (!IsFolder(root)) return loaded;
  if (IsLink(root)) return ignore(std::wstring(kBackupFolderName) + L" is a link");
  const std::wstring path = RecordPath(exeFolder);
  const DWORD attributes = Attributes(path);
  if (!Exists(attributes)) return loaded;
  if (IsLink(attributes) || IsFolder(attributes)) return ignore(L"it is no plain file");
  std::string bytes;
  uint32_t error = 0;
  FileRead read = FileRead::Unreadable;
  const ULONGLONG until = GetTickCount64() + lockWaitMs;
  for (;;) {
    read = ReadWholeFile(path, bytes, kMaxRecordBytes, &error);
    const bool held = read == FileRead::Unreadable && (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION);
    if (!held || GetTickCount64() >= until) break;
    Sleep(100);
  }
  switch (read) {
    case FileRead::Read: break;
    case FileRead::Missing: return loaded;
    case FileRead::Unreadable:
      ignore(L"it cannot be read");
      loaded.found = RecordFound::Unreadable;
      loaded.error = error;
      return loaded;
    case FileRead::TooLarge: return ignore(L"it is too large");
  }
  std::wstring problem;
  std::optional<DeploymentRecord> record = ParseDeploymentRecord(bytes, problem);
  if (!record) return ignore(problem);
  loaded.found = RecordFound::Valid;
  loaded.record = std::move(*record);
  return loaded;
}

std::vector<WrittenFileCondition> CheckWrittenFiles(const std::wstring& exeFolder, const DeploymentRecord& record) {
  std::vector<WrittenFileCondition> conditions;
  SafePlaces places(exeFolder);
  for (const WrittenFile& file : record.written) {
    FileCondition condition = FileCondition::AsWritten;
    if (!StillAsWritten(exeFolder, places, file)) {
      const bool gone = NoLinkOnTheWay(exeFolder, file.path) && !Exists(Attributes(JoinPath(exeFolder, file.path)));
      condition = gone ? FileCondition::Gone : FileCondition::Changed;
    }
    conditions.push_back({file.path, condition});
  }
  return conditions;
}

DeploymentHealth CheckDeployment(const std::wstring& exeFolder) {
  const LoadedRecord loaded = LoadDeploymentRecord(exeFolder);
  DeploymentHealth health;
  if (loaded.found == RecordFound::None) return health;
  if (loaded.found != RecordFound::Valid) {
    health.health = RecordHealth::Ignored;
    health.problem = loaded.problem;
    return health;
  }
  for (const WrittenFileCondition& file : CheckWrittenFiles(exeFolder, loaded.record)) {
    if (file.condition != FileCondition::AsWritten) health.changed.push_back(file.path);
  }
  for (const std::vector<WrittenFile>* files : {&loaded.record.written, &loaded.record.planned}) {
    for (const WrittenFile& file : *files) health.written.push_back(file.path);
  }
  if (loaded.record.Interrupted()) {
    health.health = RecordHealth::Interrupted;
  } else {
    health.health = health.changed.empty() ? RecordHealth::Intact : RecordHealth::Damaged;
  }
  return health;
}

DeployProblem PlanDeployment(const std::wstring& package, const std::wstring& exeFolder, DeploymentPlan& plan) {
  plan = {};
  plan.package = package;
  plan.exeFolder = exeFolder;
  const std::wstring recordPath = RecordPath(exeFolder);
  LoadedRecord loaded = LoadDeploymentRecord(exeFolder, kLockedRecordWaitMs);
  if (DeployProblem problem = ProblemOf(loaded, recordPath)) return problem;
  plan.previous = std::move(loaded.record);
  if (DeployProblem problem = ListPackage(package, plan)) return problem;

  const RecordBook known(plan.previous);
  SafePlaces places(exeFolder);
  std::vector<std::optional<FileDigest>> found(plan.files.size());
  bool anyKept = false;
  for (size_t i = 0; i < plan.files.size(); ++i) {
    PlannedFile& file = plan.files[i];
    DWORD error = ERROR_SUCCESS;
    const std::optional<FileDigest> source = DigestOf(file.source, &error);
    if (!source) return {DeployFault::PackageUnreadable, file.source, error};
    file.size = source->size;
    file.sha256 = source->sha256;
    file.write = true;
    FileAt target(JoinPath(exeFolder, file.path));
    if (!places.Safe(file.path)) return {DeployFault::TargetBehindLink, target.Path()};
    if (!target.Exists()) continue;
    if (target.IsFolder()) return {DeployFault::TargetIsFolder, target.Path()};
    found[i] = target.Digest();
    if (target.Holds(file.size, file.sha256)) {
      file.write = false;  // the package's file is there already, whoever put it there
      continue;
    }
    // The game's original as it was kept before needs no second copy (the
    // original first: a piece of an unfinished copy is only ever taken for
    // what is not the original).
    const std::wstring key = LowerKey(file.path);
    const KeptFile* earlier = known.kept.Find(key);
    const std::optional<FileDigest> earlierCopy = earlier ? KeptCopyDigest(exeFolder, *earlier) : std::nullopt;
    const bool asKept = earlier && found[i] && (target.Holds(earlier) || earlierCopy == found[i]);
    if (asKept && earlierCopy == found[i]) continue;
    if (!asKept && HoldsCopysFile(target, known.written.Find(key), known.planned.Find(key))) continue;
    // The game's own file, kept now; one that cannot be read cannot be
    // kept, and the copy stops before anything is changed.
    if (!found[i]) return {DeployFault::KeepFailed, target.Path(), target.DigestError()};
    file.keep = true;
    anyKept = true;
  }
  if (anyKept) plan.backup = NewBackupName(exeFolder);
  plan.journal = JournalOf(plan, found);
  // The journal is the largest record this copy writes: what confirms it
  // only turns entries about to be written into written ones.
  if (!RecordWithinLimits(plan.journal, FormatDeploymentRecord(plan.journal).size())) {
    return {DeployFault::RecordTooLarge, recordPath};
  }
  return {};
}

DeployProblem BeginDeployment(DeploymentPlan& plan, const FileStep& step) {
  const std::wstring& exeFolder = plan.exeFolder;
  if (plan.journal == plan.previous) return {};  // nothing to write, keep or make
  const std::wstring root = BackupRoot(exeFolder);
  if (IsLink(Attributes(root))) return {DeployFault::BackupIsLink, root};
  const bool rootThere = IsFolder(Attributes(root));
  if (!plan.backup.empty() && Exists(Attributes(JoinPath(root, plan.backup)))) {
    // Another copy took this second's name meanwhile: the next free one.
    const std::wstring taken = plan.backup;
    plan.backup = NewBackupName(exeFolder);
    for (KeptFile& kept : plan.journal.kept) {
      if (kept.backup == taken) kept.backup = plan.backup;
    }
  }
  // Only copies made just now go: every original is still in its place.
  auto undoKeeping = [&, backup = plan.backup.empty() ? std::wstring() : JoinPath(root, plan.backup)] {
    if (!backup.empty()) RemoveFreshBackup(backup);
    if (!rootThere) RemoveDirectoryW(ExtendedLengthPath(root).c_str());
  };
  const RecordBook journal(plan.journal);
  for (const PlannedFile& file : plan.files) {
    if (!file.keep) continue;
    const KeptFile* kept = journal.kept.Find(LowerKey(file.path));
    const std::wstring original = JoinPath(exeFolder, file.path);
    Step(step);
    if (const DWORD error =
            KeepOriginal(original, JoinPath(JoinPath(root, plan.backup), file.path), {kept->size, kept->sha256});
        error != ERROR_SUCCESS) {
      undoKeeping();
      return {DeployFault::KeepFailed, original, error};
    }
  }
  if (DeployProblem problem = WriteRecord(exeFolder, plan.journal, step)) {
    undoKeeping();
    return problem;
  }
  return {};
}

DeployProblem PrepareDeployment(const std::wstring& package, const std::wstring& exeFolder, DeploymentPlan& plan,
                                const FileStep& step) {
  if (DeployProblem problem = PlanDeployment(package, exeFolder, plan)) return problem;
  return BeginDeployment(plan, step);
}

DeployProblem CopyPlannedFiles(const DeploymentPlan& plan, const FileStep& step) {
  for (const std::wstring& folder : plan.newFolders) {
    const std::wstring path = JoinPath(plan.exeFolder, folder);
    Step(step);
    std::wstring blocker;
    if (const DWORD error = CreateFolders(path, &blocker); error != ERROR_SUCCESS) {
      return {DeployFault::FolderNotMade, blocker.empty() ? path : blocker, error};
    }
  }
  for (const PlannedFile& file : plan.files) {
    if (!file.write) continue;
    const std::wstring target = JoinPath(plan.exeFolder, file.path);
    Step(step);
    ClearReadOnly(target);
    if (!CopyFileW(ExtendedLengthPath(file.source).c_str(), ExtendedLengthPath(target).c_str(), FALSE)) {
      return {DeployFault::FileNotCopied, target, GetLastError()};
    }
  }
  return {};
}

FinishOutcome FinishDeployment(const DeploymentPlan& plan, const FileStep& step) {
  const std::wstring& exeFolder = plan.exeFolder;
  FinishOutcome outcome;
  RecordBook book(plan.journal);
  const RecordBook earlier(plan.previous);
  std::vector<KeptFile> redundant;  // copies in the backup that the record no longer needs

  std::set<std::wstring> inPackage;
  for (const PlannedFile& file : plan.files) {
    inPackage.insert(LowerKey(file.path));
    if (!file.write) continue;
    FileAt target(JoinPath(exeFolder, file.path));
    if (target.Holds(file.size, file.sha256)) {
      book.planned.Erase(LowerKey(file.path));
      book.written.Put({file.path, file.size, file.sha256});
    } else {
      outcome.notArrived.push_back(
          {file.path, file.size, target.IsFile() ? std::optional<uint64_t>(target.Size()) : std::nullopt});
    }
  }
  // Every file still recorded as begun, this copy's and an earlier one's:
  // what arrived whole is written, what the user would not have replaced is
  // no longer the copy's business, and the rest (missing, or a piece) stays
  // begun: the copy did not finish, and Undo takes out what it began.
  for (const WrittenFile& begun : book.planned.Entries()) {
    const std::wstring key = LowerKey(begun.path);
    FileAt target(JoinPath(exeFolder, begun.path));
    const KeptFile* kept = book.kept.Find(key);
    if (target.Holds(begun.size, begun.sha256)) {
      book.written.Put(begun);
    } else if (!target.Exists()) {
      continue;  // not there yet: the copy did not finish, which the record goes on saying
    } else if (kept && target.Holds(kept)) {
      // The game's file is still in its place (the user would not have it
      // replaced): a copy of it kept just now is not needed.
      if (kept->backup == plan.backup && !plan.backup.empty()) {
        redundant.push_back(*kept);
        book.kept.Erase(key);
      }
    } else if (!target.Holds(book.written.Find(key))) {
      continue;  // a piece, or something else: still the copy's unfinished business
    }
    book.planned.Erase(key);
  }
  // An original kept now that an earlier copy had kept already, byte for
  // byte (the game put its file back, and it was kept again): one backup of
  // it is enough. An earlier original that differs stays where it is.
  for (const PlannedFile& file : plan.files) {
    if (!file.keep) continue;
    const std::wstring key = LowerKey(file.path);
    const KeptFile* before = earlier.kept.Find(key);
    const KeptFile* now = book.kept.Find(key);
    if (!before || !now || now->backup != plan.backup || before->backup == plan.backup) continue;
    const std::optional<FileDigest> copyNow = KeptCopyDigest(exeFolder, *now);
    if (copyNow && KeptCopyDigest(exeFolder, *before) == copyNow) {
      redundant.push_back(*before);
    }
  }
  // What an earlier copy wrote that this package does not bring stays
  // recorded while it is as written.
  SafePlaces places(exeFolder);
  for (const WrittenFile& file : plan.previous.written) {
    const std::wstring key = LowerKey(file.path);
    if (!inPackage.count(key) && !book.planned.Find(key) && !StillAsWritten(exeFolder, places, file)) {
      book.written.Erase(key);
    }
  }
  std::vector<std::wstring> made;
  for (const std::wstring& folder : book.made) {
    if (IsFolder(Attributes(JoinPath(exeFolder, folder)))) made.push_back(folder);
  }
  book.made = made;

  // On the disk now: the journal, unless there was nothing to begin.
  const DeploymentRecord& onDisk = plan.journal == plan.previous ? plan.previous : plan.journal;
  if (const DeploymentRecord record = book.Record(); record != onDisk) {
    outcome.recordProblem = WriteRecord(exeFolder, record, step);
  }
  if (outcome.recordProblem) return outcome;  // the journal stays: nothing it names may go
  for (const KeptFile& file : redundant) DeleteKeptCopy(exeFolder, file, step);
  if (!plan.backup.empty()) RemoveEmptyFolders(JoinPath(BackupRoot(exeFolder), plan.backup));
  for (const KeptFile& file : redundant) RemoveEmptyFolders(JoinPath(BackupRoot(exeFolder), file.backup));
  RemoveDirectoryW(ExtendedLengthPath(BackupRoot(exeFolder)).c_str());  // only when empty
  return outcome;
}

namespace {

// Fills in the digests of originals an older program kept without them,
// from their copies, and records them before anything is moved: once an
// original is back in its place, only its digest tells that it is.
DeployProblem RecordKeptDigests(const std::wstring& exeFolder, RecordBook& book, const FileStep& step) {
  bool filled = false;
  for (KeptFile file : book.kept.Entries()) {
    if (file.HasDigest()) continue;
    const std::optional<FileDigest> digest = KeptCopyDigest(exeFolder, file);
    if (!digest) continue;
    file.size = digest->size;
    file.sha256 = digest->sha256;
    book.kept.Put(file);
    filled = true;
  }
  return filled ? WriteRecord(exeFolder, book.Record(), step) : DeployProblem{};
}

// Puts one kept original back: over the copy's file in one step, or into
// its empty place. What cannot be done now stays in the book.
void RestoreOriginal(const std::wstring& exeFolder, SafePlaces& places, RecordBook& book, const KeptFile& kept,
                     UndoOutcome& outcome, const FileStep& step) {
  const std::wstring key = LowerKey(kept.path);
  const std::wstring target = JoinPath(exeFolder, kept.path);
  if (!places.Safe(kept.path)) {
    outcome.stillKept.push_back(kept.path);
    return;
  }
  FileAt place(target);
  if (place.Holds(&kept)) {
    // The original is in its place already: put back by an Undo that was
    // cut short, or never replaced by a copy that was.
    DeleteKeptCopy(exeFolder, kept, step);
    book.EraseFile(key);
    return;
  }
  const std::wstring copy = KeptCopyPath(exeFolder, kept);
  const bool copyThere = KeptCopyThere(exeFolder, kept);
  const bool copys = !place.Exists() || HoldsCopysFile(place, book.written.Find(key), book.planned.Find(key));
  if (!copys) {
    // Something else took the place since (a game update): it stays, and so
    // does the original, for a later Undo.
    outcome.changed.push_back(kept.path);
    outcome.stillKept.push_back(kept.path);
    book.written.Erase(key);
    book.planned.Erase(key);
    return;
  }
  if (!copyThere) {
    // The copy's file is the only thing there is: it stays, and is named.
    outcome.originalMissing.push_back(kept.path);
    return;
  }
  Step(step);
  DWORD error = CreateFolders(target.substr(0, target.find_last_of(L'\\')));
  if (error == ERROR_SUCCESS) {
    ClearReadOnly(target);
    if (!MoveFileExW(ExtendedLengthPath(copy).c_str(), ExtendedLengthPath(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
      error = GetLastError();
    }
  }
  if (error != ERROR_SUCCESS) {
    outcome.failures.push_back({kept.path, error});
    return;
  }
  ++outcome.restored;
  if (place.Exists()) ++outcome.removed;
  book.EraseFile(key);
}

// Removes one file the copy wrote (or began) and that has no original to
// go back in its place.
void RemoveCopysFile(const std::wstring& exeFolder, SafePlaces& places, RecordBook& book, const std::wstring& key,
                     UndoOutcome& outcome, const FileStep& step) {
  const WrittenFile* written = book.written.Find(key);
  const WrittenFile* planned = book.planned.Find(key);
  const std::wstring path = written ? written->path : planned->path;
  const bool safe = places.Safe(path);
  FileAt place(JoinPath(exeFolder, path));
  if (safe && !place.Exists()) {
    book.EraseFile(key);
    return;
  }
  if (!safe || !HoldsCopysFile(place, written, planned)) {
    outcome.changed.push_back(path);
    book.EraseFile(key);
    return;
  }
  Step(step);
  ClearReadOnly(place.Path());
  if (!DeleteFileW(ExtendedLengthPath(place.Path()).c_str())) {
    outcome.failures.push_back({path, GetLastError()});
    return;
  }
  ++outcome.removed;
  book.EraseFile(key);
}

}  // namespace

UndoOutcome UndoDeployment(const std::wstring& exeFolder, const FileStep& step) {
  UndoOutcome outcome;
  const std::wstring recordPath = RecordPath(exeFolder);
  const LoadedRecord loaded = LoadDeploymentRecord(exeFolder, kLockedRecordWaitMs);
  outcome.problem = loaded.found == RecordFound::None ? DeployProblem(DeployFault::NoRecord, exeFolder)
                                                      : ProblemOf(loaded, recordPath);
  if (outcome.problem) return outcome;
  RecordBook book(loaded.record);
  if (DeployProblem problem = RecordKeptDigests(exeFolder, book, step)) {
    outcome.problem = problem;
    return outcome;
  }
  std::set<std::wstring> backups;
  for (const KeptFile& kept : loaded.record.kept) backups.insert(kept.backup);

  // The originals first, so that a crash half-way never leaves a place
  // with neither the game's file nor the mod's.
  SafePlaces places(exeFolder);
  for (const KeptFile& kept : book.kept.Entries()) RestoreOriginal(exeFolder, places, book, kept, outcome, step);
  // Then the copy's own files, where no original is waiting for its place.
  std::vector<std::wstring> keys = book.planned.Keys();
  for (const std::wstring& key : book.written.Keys()) {
    if (!book.planned.Find(key)) keys.push_back(key);
  }
  for (const std::wstring& key : keys) {
    if (!book.kept.Find(key)) RemoveCopysFile(exeFolder, places, book, key, outcome, step);
  }
  // The folders it made last, deepest first, when nothing is left in them.
  std::vector<std::wstring> made = book.made;
  std::sort(made.begin(), made.end(), [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
  std::vector<std::wstring> stillThere;
  for (const std::wstring& folder : made) {
    if (!SafePlaces(exeFolder).Safe(folder)) continue;  // looked at afresh: the folders below are gone
    const std::wstring path = JoinPath(exeFolder, folder);
    if (!RemoveDirectoryW(ExtendedLengthPath(path).c_str()) && IsFolder(Attributes(path))) stillThere.push_back(folder);
  }
  // A folder that still holds a file the next Undo takes out goes with it then.
  const bool filesLeft = !book.written.Keys().empty() || !book.planned.Keys().empty() || !book.kept.Keys().empty();
  book.made.clear();
  if (filesLeft) {
    for (const std::wstring& folder : loaded.record.made) {
      if (std::find(stillThere.begin(), stillThere.end(), folder) != stillThere.end()) book.made.push_back(folder);
    }
  }
  if (DeployProblem problem = WriteRecord(exeFolder, book.Record(), step)) {
    outcome.failures.push_back({recordPath, problem.error});
  }
  for (const std::wstring& name : backups) RemoveEmptyFolders(JoinPath(BackupRoot(exeFolder), name));
  RemoveDirectoryW(ExtendedLengthPath(BackupRoot(exeFolder)).c_str());
  return outcome;
}

SystemWords WindowsSystemWords() {
  return [](uint32_t error) { return SystemErrorText(error); };
}

std::wstring ProblemWords(const DeployProblem& problem) { return DeployProblemText(problem, WindowsSystemWords()); }

bool PackageHasRemovalScript(const std::wstring& package) {
  return IsExistingFile(JoinPath(package, kRemovalScriptName));
}

std::wstring CopyRemovalScriptFromPackage(const std::wstring& package, const std::wstring& exeFolder) {
  const std::wstring target = JoinPath(exeFolder, kRemovalScriptName);
  if (std::wstring why = MakeFolders(exeFolder); !why.empty()) return exeFolder + L": " + why;
  if (!CopyFileW(ExtendedLengthPath(JoinPath(package, kRemovalScriptName)).c_str(), ExtendedLengthPath(target).c_str(),
                 TRUE)) {
    return target + L": " + SystemErrorText(GetLastError());
  }
  return {};
}

}  // namespace zrcc
