// Running the package's setup and removal scripts for a game, each in a
// console window of its own, and waiting until the script has ended.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/script_words.h"

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
// that very file can run. A script that ends with an exit code other than 0
// keeps its console open until a key is pressed there, so that its message
// can be read. Nothing runs from a network folder, and nothing at all
// without a game folder. Shows nothing: the caller says what went wrong.
ScriptOutcome RunGameScript(GameScript script, const ScriptFolders& folders, const ScriptWait& wait = {});

// Whether "Remove Zandrivell.bat" lies in either folder.
bool HasRemovalScript(const ScriptFolders& folders);

}  // namespace zrcc
