// Deploying the mod package so that it can be taken back: before a copy
// every file of the game's that the package would replace is kept in
// .zandrivell-backup\<time>\ inside the executable folder, after it the
// record (.zandrivell-backup\deployed.ini) lists what the copy wrote; "Undo
// Copy" then removes exactly those files, where they still hold what the
// copy wrote, and puts the kept originals back.
//
// Nothing of the game's own is ever deleted: only files the record says the
// copy wrote, with the content it wrote, are removed, and a kept original is
// never dropped unless the copy left the file it was kept from untouched.
// A record is read as outside input (core/deployment_record.h), and no path
// of it is followed through a link or into the backup folder.
#pragma once

#include <string>
#include <vector>

#include "core/deployment_record.h"

namespace zrcc {

// The record of an executable folder as found on the disk.
enum class RecordFound { None, Valid, Ignored };
struct LoadedRecord {
  RecordFound found = RecordFound::None;
  DeploymentRecord record;
  std::wstring problem;  // why it is ignored
};
LoadedRecord LoadDeploymentRecord(const std::wstring& exeFolder);

// Each written file of a record against the disk, in record order.
enum class FileCondition { AsWritten, Changed, Gone };
struct WrittenFileCondition {
  std::wstring path;
  FileCondition condition = FileCondition::Gone;
};
std::vector<WrittenFileCondition> CheckWrittenFiles(const std::wstring& exeFolder, const DeploymentRecord& record);

// What became of the last copy into the folder, for the game's row.
DeploymentHealth CheckDeployment(const std::wstring& exeFolder);

// One package file a copy is about to write.
struct PlannedFile {
  std::wstring path;    // below the executable folder
  std::wstring source;  // the package's file
  bool kept = false;    // a file lay there and was kept in the backup
};

// What a copy is about to do, worked out and backed up before it starts.
struct PendingDeployment {
  std::wstring package;
  std::wstring exeFolder;
  std::wstring backup;  // the backup folder's name; empty when nothing was kept
  std::vector<PlannedFile> files;
  std::vector<std::wstring> newFolders;  // package folders missing from the executable folder, parents first
  DeploymentRecord previous;             // the record of an earlier copy, when one is followed
};

// Works out which files the package would write into `exeFolder` (its top
// level but the "Licenses" folder, folders with everything in them) and
// keeps every file of the game's that lies in the way. A file an earlier
// copy wrote and that is still as written is the mod's, not the game's: it
// is not kept again, and the original kept back then stays recorded. Empty
// when the copy may go ahead; otherwise why not, in words for the user
// (nothing is kept then).
std::wstring PrepareDeployment(const std::wstring& package, const std::wstring& exeFolder,
                               PendingDeployment& pending);

// Copies the planned files over whatever lies at their places, without a
// question (all that is replaced was kept). Empty when every file arrived;
// otherwise the first failure, naming the file, and nothing after it is
// copied.
std::wstring CopyPlannedFiles(const PendingDeployment& pending);

// After the copy, however it went: records every planned file that now holds
// the package's content, drops each kept file the copy left untouched after
// all (the user said no), and replaces the record. Empty when the record was
// written; otherwise why not.
std::wstring FinishDeployment(const PendingDeployment& pending);

// What Undo Copy did.
struct UndoOutcome {
  std::wstring problem;               // why nothing was done (no record, or one that is ignored)
  int removed = 0;                    // files the copy wrote, taken out
  int restored = 0;                   // kept originals put back
  std::vector<std::wstring> changed;  // files the copy wrote that changed since: left in place
  std::vector<std::wstring> stillKept;  // originals whose place is taken: left in the backup
  std::vector<std::wstring> failures;   // what the system refused, with its reason
};

// Takes the last copy back out of `exeFolder`, as its record says.
UndoOutcome UndoDeployment(const std::wstring& exeFolder);

// Copies the package's "Remove Zandrivell.bat" into the executable folder,
// where Uninstall runs it from; an existing file there is never replaced.
// Empty when it is there now; otherwise why not. False from
// PackageHasRemovalScript when the package holds none.
bool PackageHasRemovalScript(const std::wstring& package);
std::wstring CopyRemovalScriptFromPackage(const std::wstring& package, const std::wstring& exeFolder);

}  // namespace zrcc
