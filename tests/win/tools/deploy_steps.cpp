// Runs the deployment steps the program runs, on given folders, and can end
// itself abruptly before any one change on the disk: the kill tests stop a
// copy or an undo at chosen points and check that the next undo puts the
// game back exactly.
//
//   zrcc-deploy-steps copy <package> <executable folder> [<end before step N>]
//   zrcc-deploy-steps undo <executable folder> [<end before step N>]
//
// "copy" is the copy of Update Zandrivell: plan, keep, record, copy,
// confirm. Without N it runs to the end and prints "steps <count>" (the
// changes it made); ending itself it exits with 9, as a kill -9 would leave
// it, with nothing flushed or cleaned up. Exit 1 (with the reason on
// standard output) when a step refused or failed, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "core/text.h"
#include "deploy/deployment.h"

using namespace zrcc;

namespace {

unsigned long gSteps = 0;
unsigned long gEndBefore = 0;  // 0: never

void CountStep() {
  if (++gSteps == gEndBefore) TerminateProcess(GetCurrentProcess(), 9);
}

int Report(const std::wstring& failure) {
  const std::string text = failure.empty() ? "steps " + std::to_string(gSteps) + "\n" : EncodeUtf8(failure) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return failure.empty() ? 0 : 1;
}

int Copy(const std::wstring& package, const std::wstring& exeFolder) {
  DeploymentPlan plan;
  if (const DeployProblem problem = PrepareDeployment(package, exeFolder, plan, CountStep)) {
    return Report(ProblemWords(problem));
  }
  const DeployProblem copied = CopyPlannedFiles(plan, CountStep);
  const FinishOutcome finished = FinishDeployment(plan, CountStep);
  if (copied) return Report(ProblemWords(copied));
  if (!finished.notArrived.empty()) return Report(L"files did not arrive: " + finished.notArrived[0].relativePath);
  if (finished.recordProblem) return Report(ProblemWords(finished.recordProblem));
  return Report({});
}

int Undo(const std::wstring& exeFolder) {
  const UndoOutcome outcome = UndoDeployment(exeFolder, CountStep);
  if (outcome.problem) return Report(UndoProblemText(outcome.problem, WindowsSystemWords()));
  if (!outcome.AllDone()) return Report(UndoSummaryText(exeFolder, outcome, WindowsSystemWords()));
  return Report({});
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  const int folders = command == L"copy" ? 2 : command == L"undo" ? 1 : 0;
  if (folders == 0 || argc < 2 + folders || argc > 3 + folders) return 2;
  if (argc == 3 + folders) gEndBefore = std::wcstoul(argv[2 + folders], nullptr, 10);
  return command == L"copy" ? Copy(argv[2], argv[3]) : Undo(argv[2]);
}
