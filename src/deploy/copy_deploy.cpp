#include "deploy/copy_deploy.h"

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <vector>

#include "core/package_rules.h"
#include "core/paths.h"
#include "core/text.h"
#include "platform/disk.h"

namespace zrcc {

namespace {

// Done before the copy because the shell, given a target that does not
// exist, may copy a source AS the target: the game's executable folder
// would become a file.
DWORD MakeFolder(std::wstring folder, std::wstring* blocker) {
  // Trailing separators go, except the one of a drive root ("C:\").
  while (folder.size() > 1 && EndsWithSeparator(folder) && folder[folder.size() - 2] != L':') folder.pop_back();
  if (folder.empty()) return ERROR_INVALID_NAME;
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(folder).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_SUCCESS;
    if (blocker) *blocker = folder;
    return ERROR_ALREADY_EXISTS;
  }
  const size_t cut = folder.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0) {
    if (const DWORD parent = MakeFolder(folder.substr(0, cut + 1), blocker); parent != ERROR_SUCCESS) return parent;
  }
  if (CreateDirectoryW(ExtendedLengthPath(folder, kNewFolderPathLimit).c_str(), nullptr)) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS && IsExistingDirectory(folder)) return ERROR_SUCCESS;  // made meanwhile by someone else
  if (error == ERROR_ALREADY_EXISTS && blocker) *blocker = folder;
  return error;
}

enum class ShellResult { Done, Skipped, Failed };

// One copy operation of the shell: each source to its own target, or every
// source into the one folder of `targets`. Skipped: it ended, but something
// was left out (a question answered No, or the copy cancelled).
ShellResult ShellCopy(const std::vector<std::wstring>& sources, const std::vector<std::wstring>& targets, HWND owner,
                      bool eachToItsTarget) {
  const std::wstring from = DoubleNulList(sources);
  const std::wstring to = DoubleNulList(targets);
  SHFILEOPSTRUCTW request{};
  // The shell's progress, question and error dialogs belong to the owner,
  // which takes no input while they are open.
  request.hwnd = owner;
  request.wFunc = FO_COPY;
  request.pFrom = from.c_str();
  request.pTo = to.c_str();
  request.fFlags = static_cast<FILEOP_FLAGS>((eachToItsTarget ? FOF_MULTIDESTFILES : 0) | FOF_NOCONFIRMMKDIR);
  const int result = SHFileOperationW(&request);
  // A cancel in the shell's dialogs may come back as 0 with the abort flag
  // set; the copy is incomplete then and must not count as done.
  if (result != 0) return ShellResult::Failed;
  return request.fAnyOperationsAborted ? ShellResult::Skipped : ShellResult::Done;
}

std::wstring TooLongReason() {
  return L"This path is too long for the Windows shell's copy (" + std::to_wstring(MAX_PATH - 1) +
         L" characters at most).";
}

}  // namespace

std::optional<CopyRefusal> ShellCopyRefusal(const DeploymentPlan& plan) {
  if (plan.FilesToWrite() == 0) return std::nullopt;
  if (plan.exeFolder.size() >= MAX_PATH) return CopyRefusal{plan.exeFolder, TooLongReason()};
  for (const PlannedFile& file : plan.files) {
    if (!file.write) continue;
    if (file.source.size() >= MAX_PATH) return CopyRefusal{file.source, TooLongReason()};
    if (const std::wstring target = JoinPath(plan.exeFolder, file.path); target.size() >= MAX_PATH) {
      return CopyRefusal{target, TooLongReason()};
    }
  }
  return std::nullopt;
}

bool CopyPlanWithShell(const DeploymentPlan& plan, CopyRefusal* refusal, HWND owner) {
  if (refusal) *refusal = {};
  // Files going to empty places, which the shell never asks about, in one
  // operation with an explicit target each; files that replace something,
  // which it asks about, into their folders one folder at a time: given a
  // list of targets, a "No" to one question stops the whole rest of the
  // copy (under Wine), where into a folder it skips only that file.
  std::vector<std::wstring> sources, targets;
  std::vector<std::wstring> replacingFolders;
  std::map<std::wstring, std::vector<std::wstring>> replacing;  // folder key -> sources
  for (const PlannedFile& file : plan.files) {
    if (!file.write) continue;
    const std::wstring target = JoinPath(plan.exeFolder, file.path);
    if (!IsExistingFile(target)) {
      sources.push_back(file.source);
      targets.push_back(target);
      continue;
    }
    const std::wstring folder = target.substr(0, target.find_last_of(L'\\'));
    auto [group, fresh] = replacing.try_emplace(LowerKey(folder));
    if (fresh) replacingFolders.push_back(folder);
    group->second.push_back(file.source);
  }
  if (sources.empty() && replacing.empty()) return true;
  if (const std::optional<CopyRefusal> refused = ShellCopyRefusal(plan)) {
    if (refusal) *refusal = *refused;
    return false;
  }
  std::vector<std::wstring> folders{plan.exeFolder};
  for (const std::wstring& folder : plan.newFolders) folders.push_back(JoinPath(plan.exeFolder, folder));
  for (const std::wstring& folder : folders) {
    if (const std::wstring failure = MakeFolders(folder); !failure.empty()) {
      if (refusal) *refusal = {folder, L"The folder cannot be created: " + failure};
      return false;
    }
  }
  // Nothing is asked in the first: one that ends short was cancelled or failed.
  if (!sources.empty() && ShellCopy(sources, targets, owner, true) != ShellResult::Done) return false;
  bool whole = true;
  for (const std::wstring& folder : replacingFolders) {
    const std::vector<std::wstring>& group = replacing[LowerKey(folder)];
    const ShellResult result = ShellCopy(group, {folder}, owner, false);
    if (result == ShellResult::Failed) return false;
    whole = whole && result == ShellResult::Done;
  }
  return whole;
}

DWORD CreateFolders(const std::wstring& folder, std::wstring* blocker) { return MakeFolder(folder, blocker); }

std::wstring MakeFolders(const std::wstring& folder) {
  std::wstring blocker;
  const DWORD error = MakeFolder(folder, &blocker);
  if (error == ERROR_SUCCESS) return {};
  if (folder.empty() || error == ERROR_INVALID_NAME) return L"The folder has no name.";
  if (error == ERROR_ALREADY_EXISTS && !blocker.empty()) return blocker + L" is a file, not a folder.";
  return SystemErrorText(error);
}

}  // namespace zrcc
