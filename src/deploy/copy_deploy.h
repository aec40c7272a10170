// Putting the planned files of the mod package into a game through the
// Windows shell, whose own dialogs show progress, ask before replacing files
// and report errors: Copy Zandrivell's copy. Update copies the same plan
// without a dialog (CopyPlannedFiles in deploy/deployment.h).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "deploy/deployment.h"

namespace zrcc {

// Why a copy was refused before the shell was asked, in words for the user.
struct CopyRefusal {
  std::wstring path;    // the folder (or package entry) that stood in the way
  std::wstring reason;  // one sentence
};

// Why the shell cannot copy the plan at all: a path it would read or write
// reaches the classic limit of 260 characters, at which its copy fails,
// crashes, or (under Wine) leaves the files out while it reports success.
// Nothing when it can. Asked before the copy begins, so that a refused copy
// changes nothing.
std::optional<CopyRefusal> ShellCopyRefusal(const DeploymentPlan& plan);

// Copies the plan's files to be written, each to its place in the
// executable folder, in one copy operation of the shell (an explicit list of
// sources and targets), after making the executable folder and the plan's
// new folders. True when there was nothing to copy or the shell finished the
// whole copy; false when the shell refuses the plan (above), a folder cannot
// be made, or the copy failed or was cancelled (what was copied before
// stays). The shell reports its own failures in its dialogs; the ones before
// it are described in `refusal` (when given), which stays empty otherwise.
// The shell's dialogs belong to `owner`: run on the thread of that window.
bool CopyPlanWithShell(const DeploymentPlan& plan, CopyRefusal* refusal = nullptr, HWND owner = nullptr);

// Makes `folder` and every missing parent (at any path length).
// ERROR_SUCCESS when it is a folder then, otherwise the system's reason; a
// file in the way gives ERROR_ALREADY_EXISTS, with its path in `blocker`
// when given.
DWORD CreateFolders(const std::wstring& folder, std::wstring* blocker = nullptr);
// The same, empty when it is a folder then, otherwise why not in words.
std::wstring MakeFolders(const std::wstring& folder);

}  // namespace zrcc
