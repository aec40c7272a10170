#include "ui/mod_lifecycle.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/mod_rules.h"
#include "core/paths.h"
#include "core/list_view_rules.h"
#include "core/update_all.h"
#include "core/deploy_questions.h"
#include "deploy/copy_deploy.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/disk.h"
#include "platform/list_view.h"
#include "platform/processes.h"
#include "discovery/steam_manifests.h"
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

  // One game of a run over many: a close no longer cuts its steps short,
  // so that every game is left updated or as it was; the run stops before
  // the next game instead.
  void FinishOnceBegun() { finishOnceBegun_ = true; }

  void Run(const JobContext& job, int32_t index) {
    Apply(job);
    if (job.StopRequested()) return;
    RefreshRowFromJob(job, window_, index, game_);
    if (!stopped_.empty()) {
      PostBox(job,
              L"The update of ZandRivell in " + GameTitle(game_) + L" stopped " + stopped_ +
                  L"\n\nThe list shows what the game's folder holds now.",
              L"Error", MB_ICONERROR);
    }
  }

  // The steps themselves: empty when every one went through, else which
  // step stopped and why.
  const std::wstring& Apply(const JobContext& job) {
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
    return stopped_;
  }

  const Game& game() const { return game_; }

 private:
  ScriptFolders Folders() const { return {ExeFolderPath(game_), game_.path}; }
  bool Going() const { return stopped_.empty() && (finishOnceBegun_ || !job_->StopRequested()); }

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
  bool finishOnceBegun_ = false;
};

// The games of "Update All Outdated" as the UI thread settled them: the ones
// to update, by catalogue index, and the ones left out already.
struct UpdateRun {
  std::vector<std::pair<int32_t, Game>> games;
  UpdateAllTally tally;
};

// The shown games that are outdated, in the order shown; those running
// from their folder, or out of reach, are left out at once, and the
// anti-cheat and Steam questions are asked once for all the rest. Empty
// when the user declines the whole run.
std::optional<UpdateRun> PlanUpdateRun(MainWindow& window) {
  const PackageFacts package = window.package().Facts();
  GameRows& rows = window.pane().rows();
  UpdateRun run;
  std::vector<std::pair<int32_t, Game>> candidates;
  for (int32_t row = 0; row < rows.Shown(); ++row) {
    const int32_t index = rows.GameIndexOfRow(row);
    const Game* game = GetGame(index);
    if (!game || !IsOutdated(*game, package)) continue;
    if (ProbeFolderPresence(game->path) != FolderPresence::Present) {
      run.tally.skipped.push_back({GameTitle(*game), UpdateSkip::FolderGone, {}});
    } else if (const std::optional<RunningProcess> running = FindProcessRunningFrom(game->path)) {
      run.tally.skipped.push_back({GameTitle(*game), UpdateSkip::Running, running->imagePath});
    } else {
      candidates.emplace_back(index, *game);
    }
  }
  std::vector<std::wstring> antiCheat, steam;
  for (const auto& [index, game] : candidates) {
    if (!game.gameFiles.antiCheats.empty()) antiCheat.push_back(GameTitle(game));
    if (SteamUpdateOf(game.path) != SteamUpdate::None) steam.push_back(GameTitle(game));
  }
  const auto yes = [&window](const std::wstring& question) {
    return ShowMessageBox(window.handle(), question, L"Update All Outdated",
                          MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  };
  const bool antiCheatToo = antiCheat.empty() || yes(UpdateAllAntiCheatQuestion(antiCheat));
  const bool steamToo = steam.empty() || yes(UpdateAllSteamQuestion(steam));
  std::vector<std::wstring> titles;
  for (auto& [index, game] : candidates) {
    if (!antiCheatToo && !game.gameFiles.antiCheats.empty()) {
      run.tally.skipped.push_back({GameTitle(game), UpdateSkip::AntiCheatDeclined, {}});
    } else if (!steamToo && SteamUpdateOf(game.path) != SteamUpdate::None) {
      run.tally.skipped.push_back({GameTitle(game), UpdateSkip::SteamUpdateDeclined, {}});
    } else {
      titles.push_back(GameTitle(game));
      run.games.emplace_back(index, std::move(game));
    }
  }
  if (!run.games.empty() && ShowMessageBox(window.handle(), UpdateAllQuestion(titles, package), L"Update All Outdated",
                                           MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return std::nullopt;
  }
  return run;
}

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
  return LifecycleFactsOf(GetGame(SelectedGameIndex(window.listView())), window.package().Facts());
}

void UpdateSelectedGame(MainWindow& window) {
  const int32_t index = SelectedGameIndex(window.listView());
  const Game* game = GetGame(index);
  const PackageFacts package = window.package().Facts();
  if (!game || !UpdateEnabled(LifecycleFactsOf(game, package))) return;
  if (!GameAllowsDeployment(window, *game, DeployStep::Update)) return;
  if (ShowMessageBox(window.handle(), UpdateQuestion(*game, package), L"Update Zandrivell",
                     MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return;
  }
  StartBackgroundJob([index, update = Update(window, *game, window.package().folder())](JobContext& job) mutable {
    update.Run(job, index);
  });
}

void UpdateAllOutdated(MainWindow& window) {
  std::optional<UpdateRun> run = PlanUpdateRun(window);
  if (!run) return;
  if (run->games.empty()) {
    ShowMessageBox(window.handle(),
                   run->tally.skipped.empty() ? std::wstring(L"No game shown is outdated.")
                                              : UpdateAllSummary(run->tally),
                   L"Update All Outdated", run->tally.skipped.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
    return;
  }
  // One job for the whole run: game after game, each with the steps of a
  // single Update and its row read again. A close ends the run after the
  // game in progress.
  StartBackgroundJob([&window, run = std::move(*run), package = window.package().folder()](JobContext& job) mutable {
    UpdateAllTally tally = std::move(run.tally);
    for (size_t i = 0; i < run.games.size(); ++i) {
      if (job.StopRequested()) return;  // the window is closing: the games after this one are as they were
      auto& [index, game] = run.games[i];
      // It may have been started since the question.
      if (const std::optional<RunningProcess> running = FindProcessRunningFrom(game.path)) {
        tally.skipped.push_back({GameTitle(game), UpdateSkip::Running, running->imagePath});
        continue;
      }
      PostStatus(job, window, L"Updating " + GameTitle(game) + L" (" + std::to_wstring(i + 1) + L" of " +
                                  std::to_wstring(run.games.size()) + L")...");
      Update update(window, game, package);
      update.FinishOnceBegun();
      if (const std::wstring why = update.Apply(job); why.empty()) {
        tally.updated.push_back(GameTitle(game));
      } else {
        tally.failed.push_back({GameTitle(game), why});
      }
      RefreshRowFromJob(job, window, index, update.game());
    }
    job.Post([tally = std::move(tally)] {
      ShowMessageBox(nullptr, UpdateAllSummary(tally), L"Update All Outdated",
                     UpdateAllWentWell(tally) ? MB_ICONINFORMATION : MB_ICONWARNING);
    });
  });
}

void UndoSelectedCopy(MainWindow& window) {
  const int32_t index = SelectedGameIndex(window.listView());
  const Game* game = GetGame(index);
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
  StartBackgroundJob([&window, index, copy = *game, folder](JobContext& job) {
    PostStatus(job, window, L"Undoing the copy...");
    const UndoOutcome outcome = UndoDeployment(folder);
    if (job.StopRequested()) return;
    RefreshRowFromJob(job, window, index, copy);
    PostUndoOutcome(job, folder, outcome);
  });
}

void CopyPackageIntoGame(MainWindow& window, int32_t index, const Game& game) {
  const std::wstring package = window.package().folder();
  const std::wstring folder = ExeFolderPath(game);
  StartBackgroundJob([&window, index, game, package, folder](JobContext& job) {
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
    job.Post([&window, index, game, plan, folder] {
      CopyRefusal refusal;
      CopyPlanWithShell(*plan, &refusal, window.handle());
      ContinueWithJob([&window, index, game, plan, folder, refusal](JobContext& next) {
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
        RefreshRowFromJob(next, window, index, game);
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
  // Which games are outdated, or hold the mod, may have changed with it.
  if (ListChoiceFilters(window.settings().list)) window.ShowListAsChosen();
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
      // A row is drawn from the game it shows.
      const auto row = static_cast<int32_t>(draw->nmcd.dwItemSpec);
      const GameRows* rows = RowsOf(list);
      const Game* game = rows ? rows->GameOfRow(row) : nullptr;
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
