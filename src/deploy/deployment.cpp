#include "deploy/deployment.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "core/package_rules.h"
#include "core/paths.h"
#include "core/sha256.h"
#include "core/text.h"
#include "deploy/copy_deploy.h"
#include "deploy/scripts.h"
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

// A path of a record or a plan that may be acted on below the executable folder.
bool SafeWithin(const std::wstring& exeFolder, std::wstring_view relative) {
  return UnsafeRecordPathReason(relative).empty() && NoLinkOnTheWay(exeFolder, relative) &&
         !EntersBackupFolder(exeFolder, relative);
}

struct FileDigest {
  uint64_t size = 0;
  std::wstring sha256;
  bool operator==(const FileDigest&) const = default;
};

// The size and SHA-256 of a file; nullopt when it is no file or cannot be read.
std::optional<FileDigest> DigestOf(const std::wstring& path) {
  const UniqueHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  Sha256 hash;
  FileDigest digest;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    hash.Update(buffer.data(), got);
    digest.size += got;
  }
  digest.sha256 = DigestHex(hash.Final());
  return digest;
}

bool StillAsWritten(const std::wstring& exeFolder, const WrittenFile& file) {
  if (!SafeWithin(exeFolder, file.path)) return false;
  const std::wstring path = JoinPath(exeFolder, file.path);
  // The size first: a file of another size is not read at all (every load
  // checks the record of every game that has one).
  WIN32_FILE_ATTRIBUTE_DATA seen{};
  if (!GetFileAttributesExW(ExtendedLengthPath(path).c_str(), GetFileExInfoStandard, &seen) ||
      ((uint64_t{seen.nFileSizeHigh} << 32) | seen.nFileSizeLow) != file.size) {
    return false;
  }
  const std::optional<FileDigest> now = DigestOf(path);
  return now && *now == FileDigest{file.size, file.sha256};
}

std::wstring Failure(const std::wstring& path, DWORD error) { return path + L": " + SystemErrorText(error); }

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
// package are not entered. False with the reason when it cannot be listed.
bool ListPackage(const std::wstring& package, PendingDeployment& pending, std::wstring& failure) {
  std::vector<PackageEntry> top;
  const ListingResult listed = ForEachEntry(package, [&](const WIN32_FIND_DATAW& entry) {
    top.push_back({entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  });
  if (!listed.Listed()) {
    failure = L"The package folder cannot be read: " + Failure(package, listed.error);
    return false;
  }
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
      pending.files.push_back({relative, source, false});
      continue;
    }
    if (IsLink(attributes)) continue;
    if (!IsFolder(Attributes(JoinPath(pending.exeFolder, relative)))) pending.newFolders.push_back(relative);
    std::vector<std::wstring> children;
    ForEachEntry(source, [&](const WIN32_FIND_DATAW& entry) { children.push_back(JoinPath(relative, entry.cFileName)); });
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return true;
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

template <typename Entry>
std::map<std::wstring, Entry> ByPath(const std::vector<Entry>& entries) {
  std::map<std::wstring, Entry> map;
  for (const Entry& entry : entries) map.emplace(LowerKey(entry.path), entry);
  return map;
}

// A file kept now that an earlier copy had kept already, byte for byte (the
// game put its file back, and it was kept again): the earlier copy of it
// goes, so that one backup remains of it. An earlier original that differs
// stays where it is.
void DropEarlierDuplicate(const std::wstring& exeFolder, const std::map<std::wstring, KeptFile>& earlierKept,
                          const std::wstring& key, const std::wstring& keptNow) {
  const auto earlier = earlierKept.find(key);
  if (earlier == earlierKept.end()) return;
  const std::wstring folder = JoinPath(BackupRoot(exeFolder), earlier->second.backup);
  const std::wstring path = JoinPath(folder, earlier->second.path);
  if (!NoLinkOnTheWay(BackupRoot(exeFolder), earlier->second.backup + L"\\" + earlier->second.path)) return;
  const std::optional<FileDigest> before = DigestOf(path);
  if (!before || before != DigestOf(keptNow)) return;
  ClearReadOnly(path);
  DeleteFileW(ExtendedLengthPath(path).c_str());
  RemoveEmptyFolders(folder);
}

}  // namespace

LoadedRecord LoadDeploymentRecord(const std::wstring& exeFolder) {
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
  switch (ReadWholeFile(path, bytes, kMaxRecordBytes)) {
    case FileRead::Read: break;
    case FileRead::Missing: return loaded;
    case FileRead::Unreadable: return ignore(L"it cannot be read");
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
  for (const WrittenFile& file : record.written) {
    FileCondition condition = FileCondition::AsWritten;
    if (!StillAsWritten(exeFolder, file)) {
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
  if (loaded.found == RecordFound::Ignored) {
    health.health = RecordHealth::Ignored;
    health.problem = loaded.problem;
    return health;
  }
  for (const WrittenFileCondition& file : CheckWrittenFiles(exeFolder, loaded.record)) {
    if (file.condition != FileCondition::AsWritten) health.changed.push_back(file.path);
  }
  health.health = health.changed.empty() ? RecordHealth::Intact : RecordHealth::Damaged;
  return health;
}

std::wstring PrepareDeployment(const std::wstring& package, const std::wstring& exeFolder,
                               PendingDeployment& pending) {
  pending = {};
  pending.package = package;
  pending.exeFolder = exeFolder;
  if (const LoadedRecord loaded = LoadDeploymentRecord(exeFolder); loaded.found == RecordFound::Valid) {
    pending.previous = loaded.record;
  }
  std::wstring failure;
  if (!ListPackage(package, pending, failure)) return failure;

  const auto previous = ByPath(pending.previous.written);
  bool anyKept = false;
  for (PlannedFile& file : pending.files) {
    const std::wstring target = JoinPath(exeFolder, file.path);
    if (!SafeWithin(exeFolder, file.path)) {
      return L"ZandRivell was not copied: " + target + L" cannot be written safely (it lies behind a link).";
    }
    const DWORD attributes = Attributes(target);
    if (!Exists(attributes)) continue;
    if (IsFolder(attributes)) return L"ZandRivell was not copied: " + target + L" is a folder, the package has a file there.";
    const auto earlier = previous.find(LowerKey(file.path));
    file.kept = earlier == previous.end() || !StillAsWritten(exeFolder, earlier->second);
    anyKept = anyKept || file.kept;
  }
  if (!anyKept) return {};

  const std::wstring root = BackupRoot(exeFolder);
  if (IsLink(Attributes(root))) return L"ZandRivell was not copied: " + root + L" is a link.";
  pending.backup = NewBackupName(exeFolder);
  const std::wstring backup = JoinPath(root, pending.backup);
  for (const PlannedFile& file : pending.files) {
    if (!file.kept) continue;
    const std::wstring kept = JoinPath(backup, file.path);
    std::wstring why = MakeFolders(kept.substr(0, kept.find_last_of(L'\\')));
    if (why.empty() && !CopyFileW(ExtendedLengthPath(JoinPath(exeFolder, file.path)).c_str(),
                                  ExtendedLengthPath(kept).c_str(), TRUE)) {
      why = Failure(JoinPath(exeFolder, file.path), GetLastError());
    }
    if (!why.empty()) {
      // Only copies made just now go: every original is still in its place.
      RemoveFreshBackup(backup);
      RemoveDirectoryW(ExtendedLengthPath(root).c_str());
      return L"ZandRivell was not copied: the files it would replace could not be kept.\n\n" + why;
    }
  }
  return {};
}

std::wstring CopyPlannedFiles(const PendingDeployment& pending) {
  for (const std::wstring& folder : pending.newFolders) {
    const std::wstring path = JoinPath(pending.exeFolder, folder);
    if (const std::wstring why = MakeFolders(path); !why.empty()) return path + L": " + why;
  }
  for (const PlannedFile& file : pending.files) {
    const std::wstring target = JoinPath(pending.exeFolder, file.path);
    ClearReadOnly(target);
    if (!CopyFileW(ExtendedLengthPath(file.source).c_str(), ExtendedLengthPath(target).c_str(), FALSE)) {
      return Failure(target, GetLastError());
    }
  }
  return {};
}

std::wstring FinishDeployment(const PendingDeployment& pending) {
  const std::wstring& exeFolder = pending.exeFolder;
  const auto earlierWritten = ByPath(pending.previous.written);
  const auto earlierKept = ByPath(pending.previous.kept);
  const std::wstring backup = pending.backup.empty() ? std::wstring() : JoinPath(BackupRoot(exeFolder), pending.backup);
  DeploymentRecord record;
  std::set<std::wstring> planned;
  for (const PlannedFile& file : pending.files) {
    const std::wstring key = LowerKey(file.path);
    planned.insert(key);
    const std::optional<FileDigest> source = DigestOf(file.source);
    const std::optional<FileDigest> now = DigestOf(JoinPath(exeFolder, file.path));
    const bool written = source && now && *source == *now;
    if (written) {
      record.written.push_back({file.path, now->size, now->sha256});
    } else if (const auto earlier = earlierWritten.find(key);
               earlier != earlierWritten.end() && StillAsWritten(exeFolder, earlier->second)) {
      record.written.push_back(earlier->second);  // the copy left the earlier one's file alone
    }
    if (file.kept) {
      const std::wstring kept = JoinPath(backup, file.path);
      if (!written && now && DigestOf(kept) == now) {
        // The copy did not replace it after all: the game's file is in its
        // place, and its copy in the backup is dropped.
        ClearReadOnly(kept);
        DeleteFileW(ExtendedLengthPath(kept).c_str());
      } else {
        record.kept.push_back({pending.backup, file.path});
        DropEarlierDuplicate(exeFolder, earlierKept, key, kept);
      }
    } else if (const auto earlier = earlierKept.find(key); earlier != earlierKept.end()) {
      record.kept.push_back(earlier->second);
    }
  }
  // What an earlier copy wrote or kept that this package does not touch
  // stays recorded.
  for (const WrittenFile& file : pending.previous.written) {
    if (!planned.count(LowerKey(file.path)) && StillAsWritten(exeFolder, file)) record.written.push_back(file);
  }
  for (const KeptFile& file : pending.previous.kept) {
    if (!planned.count(LowerKey(file.path))) record.kept.push_back(file);
  }
  std::set<std::wstring> made;
  for (const std::vector<std::wstring>* folders : {&pending.previous.made, &pending.newFolders}) {
    for (const std::wstring& folder : *folders) {
      if (IsFolder(Attributes(JoinPath(exeFolder, folder))) && made.insert(LowerKey(folder)).second) {
        record.made.push_back(folder);
      }
    }
  }
  if (!backup.empty()) RemoveEmptyFolders(backup);

  const std::wstring path = RecordPath(exeFolder);
  if (record.empty()) {
    DeleteFileW(ExtendedLengthPath(path).c_str());
    RemoveDirectoryW(ExtendedLengthPath(BackupRoot(exeFolder)).c_str());
    return {};
  }
  if (std::wstring why = MakeFolders(BackupRoot(exeFolder)); !why.empty()) return BackupRoot(exeFolder) + L": " + why;
  DWORD error = 0;
  if (!ReplaceFileContents(path, FormatDeploymentRecord(record), error)) return Failure(path, error);
  return {};
}

UndoOutcome UndoDeployment(const std::wstring& exeFolder) {
  UndoOutcome outcome;
  const LoadedRecord loaded = LoadDeploymentRecord(exeFolder);
  if (loaded.found == RecordFound::None) {
    outcome.problem = L"There is no record of a copy in this folder.";
    return outcome;
  }
  if (loaded.found == RecordFound::Ignored) {
    outcome.problem = L"The record of the copy (" + RecordPath(exeFolder) + L") is not used: " + loaded.problem + L".";
    return outcome;
  }
  const DeploymentRecord& record = loaded.record;
  for (const WrittenFile& file : record.written) {
    const std::wstring target = JoinPath(exeFolder, file.path);
    if (!Exists(Attributes(target)) && NoLinkOnTheWay(exeFolder, file.path)) continue;
    if (!StillAsWritten(exeFolder, file)) {
      outcome.changed.push_back(file.path);
      continue;
    }
    ClearReadOnly(target);
    if (DeleteFileW(ExtendedLengthPath(target).c_str())) {
      ++outcome.removed;
    } else {
      outcome.failures.push_back(Failure(target, GetLastError()));
    }
  }
  DeploymentRecord remaining;
  const std::wstring root = BackupRoot(exeFolder);
  std::set<std::wstring> backups;
  for (const KeptFile& file : record.kept) {
    backups.insert(file.backup);
    const std::wstring kept = JoinPath(JoinPath(root, file.backup), file.path);
    const std::wstring target = JoinPath(exeFolder, file.path);
    if (!NoLinkOnTheWay(exeFolder, std::wstring(kBackupFolderName) + L"\\" + file.backup + L"\\" + file.path) ||
        !IsExistingFile(kept)) {
      outcome.failures.push_back(target + L": its kept original is missing from " + JoinPath(root, file.backup));
      continue;
    }
    if (!SafeWithin(exeFolder, file.path) || Exists(Attributes(target))) {
      outcome.stillKept.push_back(file.path);
      remaining.kept.push_back(file);
      continue;
    }
    std::wstring why = MakeFolders(target.substr(0, target.find_last_of(L'\\')));
    if (why.empty() && !MoveFileExW(ExtendedLengthPath(kept).c_str(), ExtendedLengthPath(target).c_str(),
                                    MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
      why = SystemErrorText(GetLastError());
    }
    if (why.empty()) {
      ++outcome.restored;
    } else {
      outcome.failures.push_back(target + L": " + why);
      outcome.stillKept.push_back(file.path);
      remaining.kept.push_back(file);
    }
  }
  // Folders the copy made go when nothing is left in them, deepest first.
  std::vector<std::wstring> made = record.made;
  std::sort(made.begin(), made.end(), [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
  for (const std::wstring& folder : made) {
    if (SafeWithin(exeFolder, folder)) RemoveDirectoryW(ExtendedLengthPath(JoinPath(exeFolder, folder)).c_str());
  }
  const std::wstring path = RecordPath(exeFolder);
  if (remaining.empty()) {
    DeleteFileW(ExtendedLengthPath(path).c_str());
  } else if (DWORD error = 0; !ReplaceFileContents(path, FormatDeploymentRecord(remaining), error)) {
    outcome.failures.push_back(Failure(path, error));
  }
  for (const std::wstring& name : backups) RemoveEmptyFolders(JoinPath(root, name));
  RemoveDirectoryW(ExtendedLengthPath(root).c_str());
  return outcome;
}

bool PackageHasRemovalScript(const std::wstring& package) {
  return IsExistingFile(JoinPath(package, kRemovalScriptName));
}

std::wstring CopyRemovalScriptFromPackage(const std::wstring& package, const std::wstring& exeFolder) {
  const std::wstring target = JoinPath(exeFolder, kRemovalScriptName);
  if (std::wstring why = MakeFolders(exeFolder); !why.empty()) return exeFolder + L": " + why;
  if (!CopyFileW(ExtendedLengthPath(JoinPath(package, kRemovalScriptName)).c_str(), ExtendedLengthPath(target).c_str(),
                 TRUE)) {
    return Failure(target, GetLastError());
  }
  return {};
}

}  // namespace zrcc
