#include "ui/mod_lifecycle.h"

#include <optional>
#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/mod_rules.h"
#include "core/paths.h"
#include "deploy/copy_deploy.h"
#include "helpers/game_rows.h"
#include "platform/app_state.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/deploy_checks.h"

namespace zrcc {

namespace {

// From any thread: the status bar is the UI thread's.
void ShowStatus(const std::wstring& text) {
  RunOnUiThread([&text] { SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str())); });
}

std::wstring GameTitle(const Game& game) { return game.name.empty() ? game.path : game.name; }

// The steps of an update, each run on the job thread. A step that fails
// says so in `stopped` (which step and why); the ones after it do not run,
// and neither do they once the window is closing (the close waits for the
// step that runs and then saves).
class Update {
 public:
  Update(Game game, std::wstring package) : game_(std::move(game)), package_(std::move(package)) {}

  void Run(int32_t row) {
    const bool installed = game_.modState == ModState::Installed;
    // A record that cannot be followed stops the update before its first
    // step, the removal script included: nothing is changed then.
    if (const DeployProblem problem = RecordProblem(ExeFolderPath(game_))) {
      stopped_ = L"before it began:\n" + ProblemWords(problem);
    }
    if (installed && Going()) RemoveInstalledMod();
    if (Going()) CopyPackage();
    if (installed && Going()) RunStep(kSetupScriptName, RunSetupScriptQuietly(Folders()));
    if (StopRequested()) return;
    RefreshRowFromJob(row, game_);
    if (!stopped_.empty()) {
      ShowMessageBox(nullptr,
                     L"The update of ZandRivell in " + GameTitle(game_) + L" stopped " + stopped_ +
                         L"\n\nThe list shows what the game's folder holds now.",
                     L"Error", MB_ICONERROR);
    }
  }

 private:
  ScriptFolders Folders() const { return {ExeFolderPath(game_), game_.path}; }
  bool Going() const { return stopped_.empty() && !StopRequested(); }

  void RunStep(const std::wstring& script, const ScriptOutcome& outcome) {
    if (!outcome.failure.empty()) stopped_ = L"at " + script + L":\n" + outcome.failure;
  }

  // The removal script of the version in the game: from where Install and
  // Uninstall look for it, else the package's own copy, put where they look.
  void RemoveInstalledMod() {
    const ScriptFolders folders = Folders();
    if (!HasRemovalScript(folders) && PackageHasRemovalScript(package_)) {
      if (const std::wstring why = CopyRemovalScriptFromPackage(package_, folders.exeFolder); !why.empty()) {
        stopped_ = L"before the removal script:\n" + why;
        return;
      }
    }
    ShowStatus(L"Running " + std::wstring(kRemovalScriptName) + L"...");
    RunStep(kRemovalScriptName, RunRemovalScriptQuietly(folders));
  }

  void CopyPackage() {
    ShowStatus(L"Copying ZandRivell...");
    DeploymentPlan plan;
    if (const DeployProblem problem = PrepareDeployment(package_, ExeFolderPath(game_), plan)) {
      stopped_ = L"before the copy:\n" + ProblemWords(problem);
      return;
    }
    const DeployProblem copyProblem = CopyPlannedFiles(plan);
    // What did arrive is recorded either way; what did not stays recorded
    // as begun, so that it can be undone.
    const FinishOutcome finished = FinishDeployment(plan);
    if (copyProblem) {
      stopped_ = L"while copying the package:\n" + DeployProblemLine(copyProblem, WindowsSystemWords());
    } else if (!finished.notArrived.empty()) {
      stopped_ = L"after the copy: these files did not arrive whole:\n" + ShortCopiesText(finished.notArrived);
    } else if (finished.recordProblem) {
      stopped_ = L"after the copy: its record could not be written:\n" +
                 DeployProblemLine(finished.recordProblem, WindowsSystemWords());
    }
  }

  Game game_;
  std::wstring package_;
  std::wstring stopped_;
};

}  // namespace

LifecycleFacts SelectedLifecycleFacts() {
  return LifecycleFactsOf(GetGame(SelectedListRow(gListView)), CurrentPackageFacts());
}

void UpdateSelectedGame() {
  const int32_t row = SelectedListRow(gListView);
  const Game* game = GetGame(row);
  const PackageFacts package = CurrentPackageFacts();
  if (!game || !UpdateEnabled(LifecycleFactsOf(game, package))) return;
  if (ShowMessageBox(gMainWindow, UpdateQuestion(*game, package), L"Update Zandrivell",
                     MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return;
  }
  StartBackgroundJob([row, update = Update(*game, ModFolder)]() mutable { update.Run(row); });
}

void UndoSelectedCopy() {
  const int32_t row = SelectedListRow(gListView);
  const Game* game = GetGame(row);
  if (!game || !UndoCopyEnabled(LifecycleFactsOf(game, CurrentPackageFacts()))) return;
  const std::wstring folder = ExeFolderPath(*game);
  if (ShowMessageBox(gMainWindow,
                     L"Take ZandRivell back out of " + GameTitle(*game) + L"?\n\nThe files the copy wrote into " +
                         FolderForMessage(folder) +
                         L" are removed where they are unchanged, and the files it replaced are put back.",
                     L"Undo Copy", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return;
  }
  StartBackgroundJob([row, copy = *game, folder] {
    ShowStatus(L"Undoing the copy...");
    const UndoOutcome outcome = UndoDeployment(folder);
    if (StopRequested()) return;
    RefreshRowFromJob(row, copy);
    if (outcome.problem) {
      ShowMessageBox(nullptr, UndoProblemText(outcome.problem, WindowsSystemWords()), L"Undo Copy", MB_ICONERROR);
      return;
    }
    ShowMessageBox(nullptr, UndoSummaryText(folder, outcome, WindowsSystemWords()), L"Undo Copy",
                   outcome.AllDone() ? MB_ICONINFORMATION : MB_ICONWARNING);
  });
}

void CopyPackageIntoGame(const std::wstring& package, const std::wstring& exeFolder) {
  ShowStatus(L"Copying ZandRivell...");
  auto error = [](const std::wstring& text) { ShowMessageBox(nullptr, text, L"Error", MB_ICONERROR); };
  auto refused = [&error](const CopyRefusal& refusal) {
    error(L"ZandRivell could not be copied.\n\nFolder: " + refusal.path + L"\n" + refusal.reason);
  };
  DeploymentPlan plan;
  if (const DeployProblem problem = PlanDeployment(package, exeFolder, plan)) return error(ProblemWords(problem));
  if (StopRequested()) return;  // the window is closing: nothing was changed yet, and nothing will be
  if (const std::optional<CopyRefusal> refusal = ShellCopyRefusal(plan)) return refused(*refusal);
  if (const DeployProblem problem = BeginDeployment(plan)) return error(ProblemWords(problem));
  // The shell's copy and its dialogs belong to the window, on its thread.
  CopyRefusal refusal;
  RunOnUiThread([&plan, &refusal] { CopyPlanWithShell(plan, &refusal, gMainWindow); });
  const FinishOutcome finished = FinishDeployment(plan);
  if (!refusal.reason.empty()) return refused(refusal);
  if (!finished.notArrived.empty()) {
    return error(L"ZandRivell was not copied completely into:\n" + exeFolder + L"\n\n" +
                 ShortCopiesText(finished.notArrived));
  }
  if (finished.recordProblem) error(CopiedButUnconfirmedText(finished.recordProblem, WindowsSystemWords()));
}

bool OfferPackageRemovalScript(const ScriptFolders& folders) {
  // Where the script runs as today (or the missing one is reported as
  // today), nothing is offered.
  if (HasRemovalScript(folders) || !ModFolderSet || !PackageHasRemovalScript(ModFolder) ||
      IsNetworkPath(folders.gameFolder)) {
    return true;
  }
  if (ShowMessageBox(gMainWindow,
                     L"This game holds no " + std::wstring(kRemovalScriptName) + L", but the package does.\n\n" +
                         L"Copy the package's " + kRemovalScriptName + L" into " + folders.exeFolder +
                         L" and run it?",
                     L"Uninstall Zandrivell", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return false;
  }
  if (const std::wstring why = CopyRemovalScriptFromPackage(ModFolder, folders.exeFolder); !why.empty()) {
    ShowMessageBox(gMainWindow, std::wstring(kRemovalScriptName) + L" could not be copied:\n\n" + why, L"Error",
                   MB_ICONERROR);
    return false;
  }
  return true;
}

void ShowOutdatedMarks() {
  InvalidateRect(gListView, nullptr, FALSE);
  UpdateGameCountText();
}

bool DrawListCell(NMHDR* notification, LRESULT& result) {
  if (notification->hwndFrom != gListView || notification->code != NM_CUSTOMDRAW) return false;
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(notification);
  result = CDRF_DODEFAULT;
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      result = CDRF_NOTIFYITEMDRAW;
      break;
    case CDDS_ITEMPREPAINT:
      result = CDRF_NOTIFYSUBITEMDRAW;
      break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      // Rows are drawn from the game at their index; the games of the rows
      // shown are this thread's even while a job runs.
      const auto row = static_cast<int32_t>(draw->nmcd.dwItemSpec);
      const Game* game = GetGame(row);
      // A selected row keeps the selection's colours, which the list has
      // already put in place.
      if (SendMessageW(gListView, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0) break;
      if (draw->iSubItem == kColumnModVersion && game && IsOutdated(*game, CurrentPackageFacts())) {
        HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
        const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                          (contrast.dwFlags & HCF_HIGHCONTRASTON);
        const CellColours colours = OutdatedCellColours(high, GetSysColor(COLOR_HOTLIGHT), GetSysColor(COLOR_WINDOW));
        draw->clrText = colours.text;
        draw->clrTextBk = colours.background;
      } else {
        // A cell is drawn with the colours the one before it left, so the
        // others get the list's own back.
        draw->clrText = static_cast<COLORREF>(SendMessageW(gListView, LVM_GETTEXTCOLOR, 0, 0));
        draw->clrTextBk = static_cast<COLORREF>(SendMessageW(gListView, LVM_GETTEXTBKCOLOR, 0, 0));
      }
      break;
    }
    default:
      break;
  }
  return true;
}

}  // namespace zrcc
