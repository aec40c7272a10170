// What Copy, Update and Undo Copy report, as values, and the words the user
// reads about it. The deployment itself (deploy/deployment.h) returns these
// values; the windows compose their boxes from the texts here, so that the
// words stay one set, tested, whatever thread the work ran on. Platform-free:
// the system's own words for an error code are handed in by the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zrcc {

// Why a deployment step did not go ahead, or stopped.
enum class DeployFault {
  None,
  PackageUnreadable,   // the package folder, or a file of it, cannot be read (path, error)
  TargetBehindLink,    // a file the package would write lies behind a link (path)
  TargetIsFolder,      // a folder lies where the package has a file (path)
  BackupIsLink,        // the backup folder is a link (path)
  KeepFailed,          // a file of the game's could not be kept in the backup (path, error)
  RecordUnreadable,    // the record is there but cannot be read: held open, say (path, error)
  RecordNotUsed,       // the record breaks its rules or is too large (path, detail)
  RecordTooLarge,      // the record of this copy would be larger than the program reads (path)
  RecordNotWritten,    // the record could not be written (path, error)
  NoRecord,            // there is no record of a copy to undo
  FolderNotMade,       // a folder of the package could not be made in the game (path, error)
  FileNotCopied,       // a file of the package could not be copied (path, error)
};

struct DeployProblem {
  DeployProblem() = default;
  DeployProblem(DeployFault fault_, std::wstring path_, uint32_t error_ = 0, std::wstring detail_ = {})
      : fault(fault_), path(std::move(path_)), error(error_), detail(std::move(detail_)) {}
  DeployFault fault = DeployFault::None;
  std::wstring path;
  uint32_t error = 0;   // the system's error code, where there is one
  std::wstring detail;  // the record's own reason, for RecordNotUsed
  explicit operator bool() const { return fault != DeployFault::None; }
  bool operator==(const DeployProblem&) const = default;
};

// The system's words for one of its error codes.
using SystemWords = std::function<std::wstring(uint32_t error)>;

// A problem of Copy or Update before or while it copies, in one or a few
// sentences, for a box.
std::wstring DeployProblemText(const DeployProblem& problem, const SystemWords& systemWords);
// The same problem as one line: the path and the system's (or the record's)
// reason.
std::wstring DeployProblemLine(const DeployProblem& problem, const SystemWords& systemWords);
// After a copy that arrived whole, when its record could not be brought up
// to date: the record of the copy begun still lets Undo take it out.
std::wstring CopiedButUnconfirmedText(const DeployProblem& problem, const SystemWords& systemWords);
// Why Undo Copy did nothing.
std::wstring UndoProblemText(const DeployProblem& problem, const SystemWords& systemWords);

// A file the system would not let Undo change now (in use by a running
// game, locked, read-only): it stays in the record for the next Undo.
struct FileFailure {
  std::wstring path;
  uint32_t error = 0;
  bool operator==(const FileFailure&) const = default;
};

// What Undo Copy did in one executable folder. Paths below the folder.
struct UndoOutcome {
  DeployProblem problem;              // why nothing was done (no record, one that is not used...)
  int removed = 0;                    // files the copy wrote, taken out (or replaced by their originals)
  int restored = 0;                   // kept originals put back
  std::vector<std::wstring> changed;  // files the copy wrote that changed since: left in place
  std::vector<std::wstring> stillKept;        // originals whose place is taken: left in the backup
  std::vector<std::wstring> originalMissing;  // the copy's files left in place: their originals are gone
  std::vector<FileFailure> failures;          // what could not be changed now: still recorded
  // Whether the game is as it was before the copy: nothing was left.
  bool AllDone() const {
    return !problem && changed.empty() && stillKept.empty() && originalMissing.empty() && failures.empty();
  }
};

// The closing box of Undo Copy: what was taken out of `folder`, what was
// left and why. The folder is named without a trailing backslash.
std::wstring UndoSummaryText(const std::wstring& folder, const UndoOutcome& outcome, const SystemWords& systemWords);


}  // namespace zrcc
