// The record a copy of the mod package leaves in a game's executable folder
// (.zandrivell-backup\deployed.ini): every file it wrote with its size and
// SHA-256, the game's own files it replaced (kept in a backup folder beside
// the record) and the folders it made. "Undo Copy" follows it to take out
// exactly what the copy put in and to put back what it replaced.
//
// It is a journal as much as a record: a copy writes it before it touches
// anything of the game's (every file it is about to write, every original
// already kept, every folder it will make) and brings it up to date once the
// files have arrived. A record that still lists files about to be written
// tells of a copy that was interrupted (a crash, a kill, a full disk), and
// still says everything Undo needs to take it back out.
//
// The record lies in a game folder, so when it is read it is outside input
// like any other file there: hand-edited, cut short, or written to lead the
// program elsewhere. A record that breaks any rule below is ignored as a
// whole, with the reason; nothing in a record that passes can name a place
// outside the executable folder or inside the backup folder itself.
//
// The file, plain UTF-8, one entry a line, paths below the executable
// folder with backslashes:
//   ; comment lines and blank lines anywhere
//   Format=2                             the first entry (older programs wrote 1)
//   Written=<bytes>|<sha-256>|<path>      a file the copy wrote, as it wrote it
//   Planned=<bytes>|<sha-256>|<path>      a file the copy is about to write (or was,
//                                         when it was interrupted): not yet confirmed
//   Kept=<backup>|<bytes>|<sha-256>|<path>  what lay at <path> before, kept as
//                                         .zandrivell-backup\<backup>\<path>, with its
//                                         size and SHA-256 (Format=1: Kept=<backup>|<path>)
//   Made=<path>                           a folder the copy created (or is about to)
//   End=<number of entries>               the last entry: a record cut short lacks it
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// The folder inside the executable folder that holds the record and the
// backups, and the record's name in it.
inline constexpr wchar_t kBackupFolderName[] = L".zandrivell-backup";
inline constexpr wchar_t kRecordFileName[] = L"deployed.ini";

// Whether `folder` is a backup folder or lies in one (any of its names is
// the backup folder's, in any letter case): the game's files kept there are
// no longer part of the game, so no executable there is the game's.
bool LiesInBackupFolder(std::wstring_view folder);

// A record larger than this, or with more entries, is no record of ours.
// The writer keeps to the same limits (RecordWithinLimits), so that no copy
// ever leaves a record its own reader refuses. Both lie far above any
// package: a copy of 15,500 files with paths of 300 characters over an
// interrupted one, every file an original kept, takes about 14 MB.
inline constexpr size_t kMaxRecordBytes = 64 * 1024 * 1024;
inline constexpr size_t kMaxRecordEntries = 500000;

struct WrittenFile {
  std::wstring path;
  uint64_t size = 0;
  std::wstring sha256;  // 64 lower-case hexadecimal digits
  bool operator==(const WrittenFile&) const = default;
};

struct KeptFile {
  std::wstring backup;  // the backup folder's name, a time stamp (BackupFolderName)
  std::wstring path;
  // The original's size and SHA-256; the digest is empty in records of the
  // first format, which did not say.
  uint64_t size = 0;
  std::wstring sha256;
  bool HasDigest() const { return !sha256.empty(); }
  bool operator==(const KeptFile&) const = default;
};

struct DeploymentRecord {
  std::vector<WrittenFile> written;
  std::vector<KeptFile> kept;
  std::vector<std::wstring> made;
  // Files a copy began to write and that were not seen to arrive: a copy
  // that is running, or one that was interrupted.
  std::vector<WrittenFile> planned;
  bool empty() const { return written.empty() && kept.empty() && made.empty() && planned.empty(); }
  bool Interrupted() const { return !planned.empty(); }
  size_t EntryCount() const { return written.size() + kept.size() + made.size() + planned.size(); }
  bool operator==(const DeploymentRecord&) const = default;
};

// The record's bytes, header comment included, in the current format.
std::string FormatDeploymentRecord(const DeploymentRecord& record);

// Whether the reader takes a record of this many entries, formatted into
// `bytes` bytes.
bool RecordWithinLimits(const DeploymentRecord& record, size_t bytes);

// The record in `bytes`, or nullopt with the reason in `problem` (one short
// sentence naming the line) when any rule is broken.
std::optional<DeploymentRecord> ParseDeploymentRecord(std::string_view bytes, std::wstring& problem);

// A path below the executable folder that may be followed: components joined
// by single backslashes, none empty, "." or "..", no drive, no leading
// separator, no stream colon or other character a file name cannot hold, no
// device name (CON, nul.txt, COM1.dll...), no component ending in a blank or
// a dot (which the system would drop, so that two texts name one file), not
// inside the backup folder, and of a length the system can handle. Empty
// when it may, otherwise why not.
std::wstring UnsafeRecordPathReason(std::wstring_view path);

// A backup folder's name: the local time of the copy as yyyymmdd-hhmmss,
// with "-<n>" when several copies fall into one second (n from 2).
std::wstring BackupFolderName(int year, int month, int day, int hour, int minute, int second, int sequence = 1);
bool IsBackupFolderName(std::wstring_view name);

// What became of the files a game's record says the copy wrote, as the last
// refresh found them.
enum class RecordHealth {
  None,         // no record
  Intact,       // every written file is still as it was written
  Damaged,      // some are gone or changed (a game update put its own files back, say)
  Ignored,      // there is a record, but it breaks the rules (or cannot be read) and is not followed
  Interrupted,  // the last copy began and did not finish: Undo Copy takes it back out
};

struct DeploymentHealth {
  RecordHealth health = RecordHealth::None;
  std::vector<std::wstring> changed;  // paths gone or changed, when Damaged
  std::wstring problem;               // why, when Ignored
  // What the record says the copy wrote or began to write, relative to the
  // folder it lies in: files of the package's, not of the game's.
  std::vector<std::wstring> written;
  bool operator==(const DeploymentHealth&) const = default;
};

}  // namespace zrcc
