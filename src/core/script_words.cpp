#include "core/script_words.h"

namespace zrcc {

const wchar_t* GameScriptName(GameScript script) {
  return script == GameScript::Setup ? kSetupScriptName : kRemovalScriptName;
}

std::wstring ScriptFailureText(GameScript script, const ScriptOutcome& outcome) {
  const std::wstring name = GameScriptName(script);
  switch (outcome.problem) {
    case ScriptProblem::None: return {};
    case ScriptProblem::NotFound: return name + L" not found!";
    case ScriptProblem::NetworkFolder:
      return name + L" cannot run from a network folder:\n" + outcome.folder +
             L"\n\nScripts can only run from a folder on a drive of this computer.";
    case ScriptProblem::CannotStart: return L"Failed to launch cmd.exe";
    case ScriptProblem::FailedExit: return name + L" ended with exit code " + std::to_wstring(outcome.exitCode) + L".";
  }
  return {};
}

}  // namespace zrcc
