#include "ui/mod_lifecycle.h"

#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/mod_rules.h"
#include "core/paths.h"
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

void PostBox(const JobContext& job, std::wstring text, std::wstring caption, UINT type) {
  job.Post([text = std::move(text), caption = std::move(caption), type] { ShowMessageBox(nullptr, text, caption, type); });
}

std::wstring GameTitle(const Game& game) { return game.name.empty() ? game.path : game.name; }

std::wstring Lines(const std::vector<std::wstring>& items) {
  std::wstring text;
  for (const std::wstring& item : items) text += L"\n    " + item;
  return text;
}

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
    if (installed) RemoveInstalledMod();
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
    PendingDeployment pending;
    if (const std::wstring why = PrepareDeployment(package_, ExeFolderPath(game_), pending); !why.empty()) {
      stopped_ = L"before the copy:\n" + why;
      return;
    }
    const std::wstring copyFailure = CopyPlannedFiles(pending);
    // What did arrive is recorded either way, so that it can be undone.
    const std::wstring recordFailure = FinishDeployment(pending);
    if (!copyFailure.empty()) {
      stopped_ = L"while copying the package:\n" + copyFailure;
    } else if (const std::wstring missing = ShortCopiesText(package_, ExeFolderPath(game_)); !missing.empty()) {
      stopped_ = L"after the copy: these files did not arrive whole:\n" + missing;
    } else if (!recordFailure.empty()) {
      stopped_ = L"after the copy: its record could not be written:\n" + recordFailure;
    }
  }

  MainWindow& window_;
  const JobContext* job_ = nullptr;
  Game game_;
  std::wstring package_;
  std::wstring stopped_;
};

std::wstring UndoSummary(const std::wstring& folder, const UndoOutcome& outcome) {
  std::wstring text = L"ZandRivell was taken out of " + FolderForDisplay(folder) + L": " + std::to_wstring(outcome.removed) +
                      (outcome.removed == 1 ? L" file" : L" files") + L" removed, " +
                      std::to_wstring(outcome.restored) + (outcome.restored == 1 ? L" original" : L" originals") +
                      L" put back.";
  if (!outcome.changed.empty()) {
    text += L"\n\nThese files changed since the copy and were left in place:" + Lines(outcome.changed);
  }
  if (!outcome.stillKept.empty()) {
    text += L"\n\nThese originals stay in " + FolderForDisplay(JoinPath(folder, kBackupFolderName)) +
            L", as something else is in their place now:" + Lines(outcome.stillKept);
  }
  if (!outcome.failures.empty()) text += L"\n\nThese could not be done:" + Lines(outcome.failures);
  return text;
}

}  // namespace

LifecycleFacts SelectedLifecycleFacts(MainWindow& window) {
  return LifecycleFactsOf(GetGame(SelectedListRow(window.listView())), window.package().Facts());
}

void UpdateSelectedGame(MainWindow& window) {
  const int32_t row = SelectedListRow(window.listView());
  const Game* game = GetGame(row);
  const PackageFacts package = window.package().Facts();
  if (!game || !UpdateEnabled(LifecycleFactsOf(game, package))) return;
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
  const std::wstring folder = ExeFolderPath(*game);
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
    if (!outcome.problem.empty()) {
      PostBox(job, outcome.problem, L"Undo Copy", MB_ICONERROR);
      return;
    }
    const bool allDone = outcome.changed.empty() && outcome.stillKept.empty() && outcome.failures.empty();
    PostBox(job, UndoSummary(folder, outcome), L"Undo Copy", allDone ? MB_ICONINFORMATION : MB_ICONWARNING);
  });
}

bool PrepareCopy(MainWindow& window, const std::wstring& exeFolder, PendingDeployment& pending) {
  const std::wstring why = PrepareDeployment(window.package().folder(), exeFolder, pending);
  if (why.empty()) return true;
  ShowMessageBox(window.handle(), why, L"Error", MB_ICONERROR);
  return false;
}

void FinishCopy(const JobContext& job, const PendingDeployment& pending) {
  if (const std::wstring why = FinishDeployment(pending); !why.empty()) {
    PostBox(job,
            L"ZandRivell was copied, but the record that lets \"Undo Copy\" take it out again could not be "
            L"written:\n\n" + why,
            L"Error", MB_ICONERROR);
  }
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
