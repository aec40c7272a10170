#include "deploy/scripts.h"

#include <optional>
#include <string_view>

#include "core/paths.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

bool HoldsScript(const std::wstring& folder, const wchar_t* fileName) {
  if (folder.empty()) return false;
  // The folder is joined as given; only the long form needs the doubled
  // backslash of a folder ending in one removed, as "\\?\" paths are taken
  // literally.
  std::wstring path = folder + L"\\" + fileName;
  if (EndsWithSeparator(folder)) {
    const std::wstring joined = folder + fileName;
    if (ExtendedLengthPath(joined) != joined) path = joined;
  }
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::wstring> ScriptFolder(const ScriptFolders& folders, const wchar_t* fileName) {
  for (const std::wstring* folder : {&folders.exeFolder, &folders.gameFolder}) {
    if (HoldsScript(*folder, fileName)) return *folder;
  }
  return std::nullopt;
}

// The system's own command interpreter by its full path. Left to the search
// order, a "cmd.exe" lying in the program's folder or the current folder
// would run in its place. Empty when the system folder cannot be read.
std::wstring SystemInterpreterPath() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0) return {};
    if (length < folder.size()) {
      folder.resize(length);
      break;
    }
    folder.resize(length);  // too small: `length` includes the terminator
  }
  return JoinPath(folder, L"cmd.exe");
}

// A current directory is limited to the classic path length (with its
// closing backslash and terminator). A longer one makes the start fail on
// Windows and corrupts the process under Wine, so it is never handed over.
bool CanBeCurrentDirectory(std::wstring_view folder) {
  if (EndsWithSeparator(folder)) folder.remove_suffix(1);
  return folder.size() + 2 <= MAX_PATH;
}

}  // namespace

ScriptOutcome RunGameScript(GameScript script, const ScriptFolders& folders, const ScriptWait& wait) {
  const wchar_t* const fileName = GameScriptName(script);
  ScriptOutcome outcome;
  if (folders.gameFolder.empty()) return outcome;
  // The executable folder lies inside the game folder, so one test covers
  // both; nothing on the share is even looked at.
  if (IsNetworkPath(folders.gameFolder)) {
    outcome.problem = ScriptProblem::NetworkFolder;
    outcome.folder = folders.gameFolder;
    return outcome;
  }
  const std::optional<std::wstring> folder = ScriptFolder(folders, fileName);
  if (!folder) {
    outcome.problem = ScriptProblem::NotFound;
    return outcome;
  }

  const std::wstring interpreter = SystemInterpreterPath();
  // The script runs in an interpreter of its own, whose exit code is the
  // script's ("exit 3" ends only that one). When it is not 0 the outer one
  // pauses, so that the console, and the script's message in it, stays open
  // until a key is pressed; "if" and "pause" leave the code as it was, and it
  // becomes the outer interpreter's own. ".\" makes cmd.exe run the file of
  // the current directory and nothing it might find elsewhere on its search
  // path; the quotes keep a name with a blank one argument, and /s lets the
  // outer one take off only the outermost pair. No folder name but the
  // system's own ever enters the command line.
  std::wstring commandLine = L"cmd.exe /s /c \"\"" + interpreter + L"\" /c \".\\" + fileName +
                             L"\" & if errorlevel 1 (pause) else if not errorlevel 0 pause\"";  // may be written into
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (interpreter.empty() || !CanBeCurrentDirectory(*folder) ||
      !CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      folder->c_str(), &startup, &process)) {
    outcome.problem = ScriptProblem::CannotStart;
    return outcome;
  }
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);
  if (wait) {
    wait(fileName, processHandle.get());
  } else {
    WaitForSingleObject(processHandle.get(), INFINITE);
  }
  outcome.ran = true;
  // Said once more in the window, which the user looks at next.
  DWORD exitCode = 0;
  if (GetExitCodeProcess(processHandle.get(), &exitCode) && exitCode != 0) {
    outcome.problem = ScriptProblem::FailedExit;
    outcome.exitCode = static_cast<int>(exitCode);
  }
  return outcome;
}

bool HasRemovalScript(const ScriptFolders& folders) {
  return ScriptFolder(folders, kRemovalScriptName).has_value();
}

}  // namespace zrcc
