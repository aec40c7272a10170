// Deploying the mod package so that it can always be taken back, as a small
// journal: first the plan (every file the package brings, with its size and
// SHA-256, and what of the game's lies in the way), then every file of the
// game's the copy would replace is kept in .zandrivell-backup\<time>\ inside
// the executable folder and the record (.zandrivell-backup\deployed.ini)
// says what is about to be written, kept and made; only then are files
// copied; last the record is confirmed with what arrived. "Undo Copy"
// follows the record, a finished one or one a crash left behind.
//
// Nothing of the game's own is ever deleted: only files the record says the
// copy wrote, with the content it wrote (or, for a copy that never finished,
// a piece of it), are removed, and a kept original is only dropped once the
// game's file is back in its place. A record is read as outside input
// (core/deployment_record.h), and no path of it is followed through a link
// or into the backup folder.
//
// Every function here takes values and returns values (problems as
// DeployProblem, words in core/deployment_text.h): none shows a box or
// touches a window, so each may run on any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/deployment_record.h"
#include "core/deployment_text.h"
#include "deploy/copy_check.h"

namespace zrcc {

// The record of an executable folder as found on the disk.
enum class RecordFound {
  None,
  Valid,
  Ignored,     // it breaks the rules, or is too large: `problem` says why
  Unreadable,  // it is there but cannot be read (held open by another program, say): `error`
};
struct LoadedRecord {
  RecordFound found = RecordFound::None;
  DeploymentRecord record;
  std::wstring problem;  // why it is ignored (or cannot be read), in the record's words
  uint32_t error = 0;    // the system's error when Unreadable
};

// How long a record held open by another program (a backup or antivirus
// tool) is waited for before a copy or an undo gives up, as for data.ini.
inline constexpr uint32_t kLockedRecordWaitMs = 3000;

// Reads the record of `exeFolder`, waiting up to `lockWaitMs` while another
// program holds it open.
LoadedRecord LoadDeploymentRecord(const std::wstring& exeFolder, uint32_t lockWaitMs = 0);
// The path of the record of `exeFolder`.
std::wstring DeploymentRecordPath(const std::wstring& exeFolder);

// Why a copy into `exeFolder` may not go ahead because of the record there:
// it cannot be read (after waiting kLockedRecordWaitMs while another program
// holds it), or it cannot be followed. Nothing when there is none, or one
// that is followed.
DeployProblem RecordProblem(const std::wstring& exeFolder);

// Each written file of a record against the disk, in record order.
enum class FileCondition { AsWritten, Changed, Gone };
struct WrittenFileCondition {
  std::wstring path;
  FileCondition condition = FileCondition::Gone;
};
std::vector<WrittenFileCondition> CheckWrittenFiles(const std::wstring& exeFolder, const DeploymentRecord& record);

// What became of the last copy into the folder, for the game's row.
DeploymentHealth CheckDeployment(const std::wstring& exeFolder);

// One file of the package, as the plan found it.
struct PlannedFile {
  std::wstring path;    // below the package and the executable folder
  std::wstring source;  // the package's file
  uint64_t size = 0;    // the package file's size and SHA-256
  std::wstring sha256;
  bool write = false;   // to be copied (false: the game holds it already, byte for byte)
  bool keep = false;    // what lies there is the game's and is kept before it is replaced
};

// A copy worked out before anything is touched, then carried out in steps.
struct DeploymentPlan {
  std::wstring package;
  std::wstring exeFolder;
  std::vector<PlannedFile> files;        // the package's files (its top level but "Licenses"), listing order
  std::vector<std::wstring> newFolders;  // package folders missing from the executable folder, parents first
  DeploymentRecord previous;             // the record found before (an earlier copy, perhaps interrupted)
  DeploymentRecord journal;              // the record written before the copy (BeginDeployment)
  std::wstring backup;                   // the backup folder's name; empty when nothing is kept
  size_t FilesToWrite() const;
};

// Called before every change a deployment makes on the disk (a file kept,
// the record written, a folder made, a file copied, moved or removed), in
// order: how a test ends the process at a chosen point, and a count of the
// work done.
using FileStep = std::function<void()>;

// Works out the copy of `package` into `exeFolder` and changes nothing: the
// package is listed once and every file hashed; each file of the game's in
// the way is the game's own, to be kept, unless the record or the package
// (by its hash) says it is the mod's. A record that is there and cannot be
// read or followed refuses the copy, as does a package whose record would be
// larger than the reader takes.
DeployProblem PlanDeployment(const std::wstring& package, const std::wstring& exeFolder, DeploymentPlan& plan);

// Keeps the originals the plan names (each copy flushed to the disk), then
// writes the journal: the record as it stands with every file about to be
// written, every original kept and every folder about to be made. When
// anything fails, the fresh backup goes again and nothing of the game's was
// touched.
DeployProblem BeginDeployment(DeploymentPlan& plan, const FileStep& step = {});

// PlanDeployment and BeginDeployment in one.
DeployProblem PrepareDeployment(const std::wstring& package, const std::wstring& exeFolder, DeploymentPlan& plan,
                                const FileStep& step = {});

// Copies the plan's files over whatever lies at their places, without a
// question (all that is replaced was kept), making its new folders first.
// Stops at the first failure, which it returns. Copy Zandrivell's copy with
// the shell's progress dialog is CopyPlanWithShell (deploy/copy_deploy.h).
DeployProblem CopyPlannedFiles(const DeploymentPlan& plan, const FileStep& step = {});

// After the copy, however it went (even when it never ran): every file of the
// plan that holds the package's content is recorded as written, an original
// the copy left in its place after all (the user said no) is dropped from
// the backup, and a file that did not arrive whole stays recorded as begun,
// so that Undo still takes it back out. The record is replaced in one step;
// should that fail, the journal stays and Undo still works from it.
struct FinishOutcome {
  std::vector<ShortCopy> notArrived;  // files of the package that are not in the game as the package has them
  DeployProblem recordProblem;        // the record could not be brought up to date
  bool Complete() const { return notArrived.empty() && !recordProblem; }
};
FinishOutcome FinishDeployment(const DeploymentPlan& plan, const FileStep& step = {});

// Takes the last copy back out of `exeFolder`, as its record says: the kept
// originals first, each put over the copy's file in one step; then the
// copy's own files; the folders it made last. What cannot be changed now
// stays in the record, so that the next Undo finishes the job; every step
// is safe to repeat after a crash.
UndoOutcome UndoDeployment(const std::wstring& exeFolder, const FileStep& step = {});

// The system's own words for its error codes, for the texts of
// core/deployment_text.h; and a problem of Copy or Update in those words.
SystemWords WindowsSystemWords();
std::wstring ProblemWords(const DeployProblem& problem);

// Copies the package's "Remove Zandrivell.bat" into the executable folder,
// where Uninstall runs it from; an existing file there is never replaced.
// Empty when it is there now; otherwise why not. False from
// PackageHasRemovalScript when the package holds none.
bool PackageHasRemovalScript(const std::wstring& package);
std::wstring CopyRemovalScriptFromPackage(const std::wstring& package, const std::wstring& exeFolder);

}  // namespace zrcc
