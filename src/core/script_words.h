// The package's two scripts: their names, how a run of one went, as a value,
// and the words for what went wrong. Platform-free.
#pragma once

#include <string>

namespace zrcc {

inline constexpr wchar_t kSetupScriptName[] = L"setup_windows.bat";
inline constexpr wchar_t kRemovalScriptName[] = L"Remove Zandrivell.bat";

enum class GameScript { Setup, Removal };

// "setup_windows.bat", "Remove Zandrivell.bat".
const wchar_t* GameScriptName(GameScript script);

// What went wrong with a script.
enum class ScriptProblem {
  None,           // it ran and ended with exit code 0 (or nothing was asked)
  NotFound,       // in neither folder
  NetworkFolder,  // the game lies in a network folder, which cmd.exe cannot use as its current directory
  CannotStart,    // the interpreter could not be started
  FailedExit,     // it ran and ended with another exit code
};

// How a run went: `ran` when the script was started and has ended.
struct ScriptOutcome {
  bool ran = false;
  ScriptProblem problem = ScriptProblem::None;
  std::wstring folder;  // the game folder, for NetworkFolder
  int exitCode = 0;     // for FailedExit
};

// What the error box says about a run that went wrong; empty when nothing did.
std::wstring ScriptFailureText(GameScript script, const ScriptOutcome& outcome);

}  // namespace zrcc
