// Running the package's setup and removal scripts for a game, each in a
// console window of its own, and waiting until the script has ended.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zrcc {

// Where a game's scripts are looked for, in this order: its executable
// folder (where Copy puts the package), then the game folder.
struct ScriptFolders {
  std::wstring exeFolder;
  std::wstring gameFolder;
};

// How the caller waits for a started script: called with the script's file
// name and its process, it returns once the process has ended. Without one
// the thread simply blocks until then.
using ScriptWait = std::function<void(const std::wstring& scriptName, HANDLE process)>;

// Runs "setup_windows.bat" / "Remove Zandrivell.bat" from the first of the
// folders that holds it, with that folder as the current directory; only
// that very file can run. True when the script was started and has ended; a
// script that ends with an exit code other than 0 keeps its console open
// until a key is pressed there, so that its message can be read, and is
// then reported in an error box (the result stays true). False, after an error box, when the script is
// in neither folder, lies in a network folder (which cmd.exe cannot use as
// its current directory) or the interpreter cannot start; false at once
// without a game folder.
bool RunSetupScript(const ScriptFolders& folders, const ScriptWait& wait = {});
bool RunRemovalScript(const ScriptFolders& folders, const ScriptWait& wait = {});

// The same with the game folder alone; null gives false at once.
bool RunSetupScript(const wchar_t* gameFolder);
bool RunRemovalScript(const wchar_t* gameFolder);

}  // namespace zrcc
