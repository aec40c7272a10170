#include "deploy/scripts.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "helpers/paths.h"
#include "helpers/win_handles.h"
#include "ui/dialogs.h"

namespace zrcc {

namespace {

struct ScriptKind {
  const wchar_t* pathSuffix;
  const wchar_t* missingMessage;
  const wchar_t* commandLine;
};

constexpr ScriptKind kSetupScript{L"\\setup_windows.bat", L"setup_windows.bat not found!",
                                  L"cmd.exe /c \"setup_windows.bat\""};
constexpr ScriptKind kRemovalScript{L"\\Remove Zandrivell.bat", L"Remove Zandrivell.bat not found!",
                                    L"cmd.exe /c \"Remove Zandrivell.bat\""};

bool IsExistingFile(const std::wstring& gameFolder, const ScriptKind& kind) {
  // The folder is joined as given; only the long form needs the doubled
  // backslash of a folder ending in one removed, as "\\?\" paths are taken
  // literally.
  std::wstring path = gameFolder + kind.pathSuffix;
  if (EndsWithSeparator(gameFolder)) {
    const std::wstring joined = gameFolder + (kind.pathSuffix + 1);
    if (ExtendedLengthPath(joined) != joined) path = joined;
  }
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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

bool RunScript(const wchar_t* gameFolder, const ScriptKind& kind) {
  if (gameFolder == nullptr) return false;
  if (!IsExistingFile(gameFolder, kind)) {
    ShowMessageBox(nullptr, kind.missingMessage, L"Error", MB_ICONERROR);
    return false;
  }

  const std::wstring interpreter = SystemInterpreterPath();
  std::wstring commandLine = kind.commandLine;  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (interpreter.empty() || !CanBeCurrentDirectory(gameFolder) ||
      !CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                      nullptr, gameFolder, &startup, &process)) {
    ShowMessageBox(nullptr, L"Failed to launch cmd.exe", L"Error", MB_ICONERROR);
    return false;
  }
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);
  WaitForSingleObject(processHandle.get(), INFINITE);
  return true;
}

}  // namespace

bool RunSetupScript(const wchar_t* gameFolder) { return RunScript(gameFolder, kSetupScript); }

bool RunRemovalScript(const wchar_t* gameFolder) { return RunScript(gameFolder, kRemovalScript); }

}  // namespace zrcc
