#include "ui/mod_lifecycle.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/mod_rules.h"
#include "core/paths.h"
#include "deploy/copy_deploy.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/deploy_checks.h"
#include "ui/main_window.h"
#include "ui/row_commands.h"

namespace zrcc {

namespace {

// From the job: the status bar is the UI thread's.
void PostStatus(const JobContext& job, MainWindow& window, std::wstring text) {
  job.Post([&window, text = std::move(text)] { window.pane().SetStatusText(text); });
}

std::wstring CopyRefusalText(const CopyRefusal& refusal) {
  return L"ZandRivell could not be copied.\n\nFolder: " + FolderForDisplay(refusal.path) + L"\n" + refusal.reason;
}

void PostBox(const JobContext& job, std::wstring text, std::wstring caption, UINT type) {
  job.Post([text = std::move(text), caption = std::move(caption), type] { ShowMessageBox(nullptr, text, caption, type); });
}

std::wstring GameTitle(const Game& game) { return game.name.empty() ? game.path : game.name; }

// The steps of an update, each run on the job thread. A step that fails
// says so in `stopped` (which step and why); the ones after it do not run,
// and neither do they once the window is closing (the close waits for the
// step that runs and then saves).
class Update {
 public:
  Update(MainWindow& window, Game game, std::wstring package)
      : window_(window), game_(std::move(game)), package_(std::move(package)) {}

  void Run(const JobContext& job, int32_t row) {
    job_ = &job;
    const bool installed = game_.modState == ModState::Installed;
    // A record that cannot be followed stops the update before its first
    // step, the removal script included: nothing is changed then.
    if (const DeployProblem problem = RecordProblem(ExeFolderPath(game_))) {
      stopped_ = L"before it began:\n" + ProblemWords(problem);
    }
    if (installed && Going()) RemoveInstalledMod();
    if (Going()) CopyPackage();
    if (installed && Going()) RunStep(GameScript::Setup, RunGameScript(GameScript::Setup, Folders()));
    if (job.StopRequested()) return;
    RefreshRowFromJob(job, window_, row, game_);
    if (!stopped_.empty()) {
      PostBox(job,
              L"The update of ZandRivell in " + GameTitle(game_) + L" stopped " + stopped_ +
                  L"\n\nThe list shows what the game's folder holds now.",
              L"Error", MB_ICONERROR);
    }
  }

 private:
  ScriptFolders Folders() const { return {ExeFolderPath(game_), game_.path}; }
  bool Going() const { return stopped_.empty() && !job_->StopRequested(); }

  void RunStep(GameScript script, const ScriptOutcome& outcome) {
    if (const std::wstring failure = ScriptFailureText(script, outcome); !failure.empty()) {
      stopped_ = L"at " + std::wstring(GameScriptName(script)) + L":\n" + failure;
    }
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
    PostStatus(*job_, window_, L"Running " + std::wstring(kRemovalScriptName) + L"...");
    RunStep(GameScript::Removal, RunGameScript(GameScript::Removal, folders));
  }

  void CopyPackage() {
    PostStatus(*job_, window_, L"Copying ZandRivell...");
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

  MainWindow& window_;
  const JobContext* job_ = nullptr;
  Game game_;
  std::wstring package_;
  std::wstring stopped_;
};

}  // namespace

void PostUndoOutcome(const JobContext& job, const std::wstring& folder, const UndoOutcome& outcome) {
  if (outcome.problem) {
    PostBox(job, UndoProblemText(outcome.problem, WindowsSystemWords()), L"Undo Copy", MB_ICONERROR);
    return;
  }
  PostBox(job, UndoSummaryText(folder, outcome, WindowsSystemWords()), L"Undo Copy",
          outcome.AllDone() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

LifecycleFacts SelectedLifecycleFacts(MainWindow& window) {
  return LifecycleFactsOf(GetGame(SelectedListRow(window.listView())), window.package().Facts());
}

void UpdateSelectedGame(MainWindow& window) {
  const int32_t row = SelectedListRow(window.listView());
  const Game* game = GetGame(row);
  const PackageFacts package = window.package().Facts();
  if (!game || !UpdateEnabled(LifecycleFactsOf(game, package))) return;
  if (!GameAllowsDeployment(window, *game, DeployStep::Update)) return;
  if (ShowMessageBox(window.handle(), UpdateQuestion(*game, package), L"Update Zandrivell",
                     MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return;
  }
  StartBackgroundJob([row, update = Update(window, *game, window.package().folder())](JobContext& job) mutable {
    update.Run(job, row);
  });
}

void UndoSelectedCopy(MainWindow& window) {
  const int32_t row = SelectedListRow(window.listView());
  const Game* game = GetGame(row);
  if (!game || !UndoCopyEnabled(LifecycleFactsOf(game, window.package().Facts()))) return;
  if (!GameAllowsDeployment(window, *game, DeployStep::UndoCopy)) return;
  // The folder the copy went into, which is the executable folder unless
  // that changed since.
  const std::wstring folder = CopyFolderPath(*game);
  if (ShowMessageBox(window.handle(),
                     L"Take ZandRivell back out of " + GameTitle(*game) + L"?\n\nThe files the copy wrote into " +
                         FolderForDisplay(folder) + L" are removed where they are unchanged, and the files it replaced are put back.",
                     L"Undo Copy", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return;
  }
  StartBackgroundJob([&window, row, copy = *game, folder](JobContext& job) {
    PostStatus(job, window, L"Undoing the copy...");
    const UndoOutcome outcome = UndoDeployment(folder);
    if (job.StopRequested()) return;
    RefreshRowFromJob(job, window, row, copy);
    PostUndoOutcome(job, folder, outcome);
  });
}

void CopyPackageIntoGame(MainWindow& window, int32_t row, const Game& game) {
  const std::wstring package = window.package().folder();
  const std::wstring folder = ExeFolderPath(game);
  StartBackgroundJob([&window, row, game, package, folder](JobContext& job) {
    PostStatus(job, window, L"Copying ZandRivell...");
    auto plan = std::make_shared<DeploymentPlan>();
    if (const DeployProblem problem = PlanDeployment(package, folder, *plan)) {
      return PostBox(job, ProblemWords(problem), L"Error", MB_ICONERROR);
    }
    if (job.StopRequested()) return;  // the window is closing: nothing was changed yet, and nothing will be
    if (const std::optional<CopyRefusal> refusal = ShellCopyRefusal(*plan)) {
      return PostBox(job, CopyRefusalText(*refusal), L"Error", MB_ICONERROR);
    }
    if (const DeployProblem problem = BeginDeployment(*plan)) {
      return PostBox(job, ProblemWords(problem), L"Error", MB_ICONERROR);
    }
    // The shell's copy and its dialogs belong to the window, on its thread;
    // then the job goes on with what the copy did.
    job.Post([&window, row, game, plan, folder] {
      CopyRefusal refusal;
      CopyPlanWithShell(*plan, &refusal, window.handle());
      ContinueWithJob([&window, row, game, plan, folder, refusal](JobContext& next) {
        const FinishOutcome finished = FinishDeployment(*plan);
        if (!refusal.reason.empty()) {
          PostBox(next, CopyRefusalText(refusal), L"Error", MB_ICONERROR);
        } else if (!finished.notArrived.empty()) {
          PostBox(next,
                  L"ZandRivell was not copied completely into:\n" + FolderForDisplay(folder) + L"\n\n" +
                      ShortCopiesText(finished.notArrived),
                  L"Error", MB_ICONERROR);
        } else if (finished.recordProblem) {
          PostBox(next, CopiedButUnconfirmedText(finished.recordProblem, WindowsSystemWords()), L"Error",
                  MB_ICONERROR);
        }
        RefreshRowFromJob(next, window, row, game);
      });
    });
  });
}

bool OfferPackageRemovalScript(MainWindow& window, const ScriptFolders& folders) {
  const Package& package = window.package();
  // Where the script runs as today (or the missing one is reported as
  // today), nothing is offered.
  if (HasRemovalScript(folders) || !package.set() || !PackageHasRemovalScript(package.folder()) ||
      IsNetworkPath(folders.gameFolder)) {
    return true;
  }
  if (ShowMessageBox(window.handle(),
                     L"This game holds no " + std::wstring(kRemovalScriptName) + L", but the package does.\n\n" +
                         L"Copy the package's " + kRemovalScriptName + L" into " + FolderForDisplay(folders.exeFolder) +
                         L" and run it?",
                     L"Uninstall Zandrivell", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return false;
  }
  if (const std::wstring why = CopyRemovalScriptFromPackage(package.folder(), folders.exeFolder); !why.empty()) {
    ShowMessageBox(window.handle(), std::wstring(kRemovalScriptName) + L" could not be copied:\n\n" + why, L"Error",
                   MB_ICONERROR);
    return false;
  }
  return true;
}

void ShowOutdatedMarks(MainWindow& window) {
  InvalidateRect(window.listView(), nullptr, FALSE);
  window.pane().UpdateGameCountText();
}

bool DrawListCell(MainWindow& window, NMHDR* notification, LRESULT& result) {
  const HWND list = window.listView();
  if (notification->hwndFrom != list || notification->code != NM_CUSTOMDRAW) return false;
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
      // Rows are drawn from the game at their index.
      const auto row = static_cast<int32_t>(draw->nmcd.dwItemSpec);
      const Game* game = GetGame(row);
      // A selected row keeps the selection's colours, which the list has
      // already put in place.
      if (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0) break;
      if (draw->iSubItem == kColumnModVersion && game && IsOutdated(*game, window.package().Facts())) {
        HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
        const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                          (contrast.dwFlags & HCF_HIGHCONTRASTON);
        const CellColours colours = OutdatedCellColours(high, GetSysColor(COLOR_HOTLIGHT), GetSysColor(COLOR_WINDOW));
        draw->clrText = colours.text;
        draw->clrTextBk = colours.background;
      } else {
        // A cell is drawn with the colours the one before it left, so the
        // others get the list's own back.
        draw->clrText = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0));
        draw->clrTextBk = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0));
      }
      break;
    }
    default:
      break;
  }
  return true;
}

}  // namespace zrcc
