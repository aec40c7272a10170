// The record a copy of the mod package leaves in a game's executable folder
// (.zandrivell-backup\deployed.ini): every file it wrote with its size and
// SHA-256, the game's own files it replaced (kept in a backup folder beside
// the record) and the folders it made. "Undo Copy" follows it to take out
// exactly what the copy put in and to put back what it replaced.
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
//   Format=1                             the first entry
//   Written=<bytes>|<sha-256>|<path>      a file the copy wrote, as it wrote it
//   Kept=<backup>|<path>                  what lay at <path> before, kept as
//                                         .zandrivell-backup\<backup>\<path>
//   Made=<path>                           a folder the copy created
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

// A record larger than this is no record of ours.
inline constexpr size_t kMaxRecordBytes = 4 * 1024 * 1024;

struct WrittenFile {
  std::wstring path;
  uint64_t size = 0;
  std::wstring sha256;  // 64 lower-case hexadecimal digits
  bool operator==(const WrittenFile&) const = default;
};

struct KeptFile {
  std::wstring backup;  // the backup folder's name, a time stamp (BackupFolderName)
  std::wstring path;
  bool operator==(const KeptFile&) const = default;
};

struct DeploymentRecord {
  std::vector<WrittenFile> written;
  std::vector<KeptFile> kept;
  std::vector<std::wstring> made;
  bool empty() const { return written.empty() && kept.empty() && made.empty(); }
  bool operator==(const DeploymentRecord&) const = default;
};

// The record's bytes, header comment included.
std::string FormatDeploymentRecord(const DeploymentRecord& record);

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
  None,     // no record
  Intact,   // every written file is still as it was written
  Damaged,  // some are gone or changed (a game update put its own files back, say)
  Ignored,  // there is a record, but it breaks the rules and is not followed
};

struct DeploymentHealth {
  RecordHealth health = RecordHealth::None;
  std::vector<std::wstring> changed;  // paths gone or changed, when Damaged
  std::wstring problem;               // why, when Ignored
  bool operator==(const DeploymentHealth&) const = default;
};

}  // namespace zrcc
