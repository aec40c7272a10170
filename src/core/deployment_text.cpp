#include "core/deployment_text.h"

#include "core/deployment_record.h"
#include "core/paths.h"

namespace zrcc {

namespace {

std::wstring Lines(const std::vector<std::wstring>& items) {
  std::wstring text;
  for (const std::wstring& item : items) text += L"\n    " + item;
  return text;
}

std::wstring Counted(int count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

}  // namespace

std::wstring DeployProblemText(const DeployProblem& problem, const SystemWords& systemWords) {
  const std::wstring why = systemWords ? systemWords(problem.error) : std::wstring();
  const std::wstring& path = problem.path;
  const std::wstring notCopied = L"ZandRivell was not copied: ";
  const std::wstring unchanged = L"\n\nNothing in the game was changed.";
  switch (problem.fault) {
    case DeployFault::None:
      return {};
    case DeployFault::PackageUnreadable:
      return L"The package folder cannot be read: " + path + L": " + why;
    case DeployFault::TargetBehindLink:
      return notCopied + path + L" cannot be written safely (it lies behind a link).";
    case DeployFault::TargetIsFolder:
      return notCopied + path + L" is a folder, the package has a file there.";
    case DeployFault::BackupIsLink:
      return notCopied + path + L" is a link.";
    case DeployFault::KeepFailed:
      return notCopied + L"the files it would replace could not be kept.\n\n" + path + L": " + why;
    case DeployFault::RecordUnreadable:
      return notCopied + L"the record of the last copy cannot be read.\n\n" + path + L": " + why + unchanged;
    case DeployFault::RecordNotUsed:
      return notCopied + L"the record of the last copy cannot be followed.\n\n" + path + L": " + problem.detail +
             L"." + unchanged;
    case DeployFault::RecordTooLarge:
      return notCopied + L"the package holds too many files for its record.\n\n" + path + unchanged;
    case DeployFault::RecordNotWritten:
      return notCopied + L"the record that lets \"Undo Copy\" take it out again could not be written.\n\n" + path +
             L": " + why + unchanged;
    case DeployFault::NoRecord:
      return L"There is no record of a copy in this folder.";
    case DeployFault::FolderNotMade:
    case DeployFault::FileNotCopied:
      return path + L": " + why;
  }
  return {};
}

std::wstring DeployProblemLine(const DeployProblem& problem, const SystemWords& systemWords) {
  if (!problem) return {};
  const std::wstring why = problem.fault == DeployFault::RecordNotUsed ? problem.detail
                           : systemWords                               ? systemWords(problem.error)
                                                                       : std::wstring();
  return problem.path + L": " + why;
}

std::wstring CopiedButUnconfirmedText(const DeployProblem& problem, const SystemWords& systemWords) {
  return L"ZandRivell was copied, but its record could not be brought up to date. \"Undo Copy\" still takes the "
         L"copy back out, from the record written before it.\n\n" +
         DeployProblemLine(problem, systemWords);
}

std::wstring UndoProblemText(const DeployProblem& problem, const SystemWords& systemWords) {
  const std::wstring why = systemWords ? systemWords(problem.error) : std::wstring();
  switch (problem.fault) {
    case DeployFault::None:
      return {};
    case DeployFault::NoRecord:
      return L"There is no record of a copy in this folder.";
    case DeployFault::RecordNotUsed:
      return L"The record of the copy (" + problem.path + L") is not used: " + problem.detail + L".";
    case DeployFault::RecordUnreadable:
      return L"The record of the copy (" + problem.path + L") cannot be read: " + why + L"\n\nNothing was changed.";
    default:
      return L"Nothing was taken out: " + DeployProblemLine(problem, systemWords);
  }
}

std::wstring UndoSummaryText(const std::wstring& folder, const UndoOutcome& outcome, const SystemWords& systemWords) {
  const std::wstring where = FolderForDisplay(folder);
  std::wstring text = L"ZandRivell was taken out of " + where + (outcome.AllDone() ? L": " : L" in part: ") +
                      Counted(outcome.removed, L"file", L"files") + L" removed, " +
                      Counted(outcome.restored, L"original", L"originals") + L" put back.";
  if (!outcome.changed.empty()) {
    text += L"\n\nThese files changed since the copy and were left in place:" + Lines(outcome.changed);
  }
  if (!outcome.stillKept.empty()) {
    text += L"\n\nThese originals stay in " + JoinPath(where, kBackupFolderName) +
            L", as something else is in their place now:" + Lines(outcome.stillKept);
  }
  if (!outcome.originalMissing.empty()) {
    text += L"\n\nThese files of ZandRivell were left in place, as the originals they replaced are missing from " +
            JoinPath(where, kBackupFolderName) + L":" + Lines(outcome.originalMissing);
  }
  if (!outcome.failures.empty()) {
    std::vector<std::wstring> lines;
    for (const FileFailure& failure : outcome.failures) {
      lines.push_back(failure.path + L": " + (systemWords ? systemWords(failure.error) : std::wstring()));
    }
    text += L"\n\nThese could not be changed now (a running game holds its files, say); \"Undo Copy\" again "
            L"finishes the job once they are free:" +
            Lines(lines);
  }
  return text;
}

}  // namespace zrcc
