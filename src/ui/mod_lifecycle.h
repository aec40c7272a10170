// The mod's life in a game after its first copy: updating it to the
// package's version in one step, taking a copy back out, a removal script
// always at hand, and outdated games marked in the list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "core/update_rules.h"
#include "deploy/deployment.h"
#include "deploy/scripts.h"
#include "platform/background_job.h"

namespace zrcc {

class MainWindow;

// What the rules of "Update Zandrivell" and "Undo Copy" rest on, for the
// row selected now.
LifecycleFacts SelectedLifecycleFacts(MainWindow& window);

// "Update Zandrivell" on the selected game: one question naming both
// versions, then one background job: the removal script when the game is
// "Installed", the package copied over the files of the same names (the
// game's own kept first), the setup script when it was "Installed", the row
// refreshed. A step that fails ends the update and says which and why. Does
// nothing where the rule says the command is not available. Runs inside the
// command gate.
void UpdateSelectedGame(MainWindow& window);

// "Update All Outdated": every game shown as outdated, one after another in
// one background job, with the checks of a single Update: a game running
// from its folder is skipped and named, the anti-cheat and Steam questions
// are asked once for all the games concerned (No leaves those as they
// were), then one question names the games. Ends with one box: updated,
// skipped and why, failed and why. A close during the run stops after the
// game in progress. Runs inside the command gate.
void UpdateAllOutdated(MainWindow& window);

// "Undo Copy" on the selected game: one question, then a background job
// takes out what the last copy wrote and puts back what it replaced, and a
// closing box names what was left as it was. Runs inside the command gate.
void UndoSelectedCopy(MainWindow& window);

// From an Undo's job: its closing box, what was taken out and what was left.
void PostUndoOutcome(const JobContext& job, const std::wstring& folder, const UndoOutcome& outcome);

// "Copy Zandrivell" into `game`, catalogue game `index`, as one job in three
// parts: on the job's thread the plan (the package hashed, the game's files
// in its way kept, the record written before anything is copied); on the UI
// thread the shell's copy with its progress dialog, owned by the window; on
// the job's thread again the record confirmed and the row read again. The
// window keeps answering all along. Every problem is said in an error box; a
// copy that fell short names the files.
void CopyPackageIntoGame(MainWindow& window, int32_t index, const Game& game);

// Before Uninstall: when neither of the game's folders holds the removal
// script but the package does, asks whether to copy the package's into the
// executable folder and does so. False when the uninstall should not go on
// (the user said no, or the copy failed and was reported).
bool OfferPackageRemovalScript(MainWindow& window, const ScriptFolders& folders);

// The package changed: the outdated marks and the count follow.
void ShowOutdatedMarks(MainWindow& window);

// The game list's custom drawing: an outdated game's version cell in its
// own colours. True (with the answer in `result`) when the notification was
// the list's NM_CUSTOMDRAW.
bool DrawListCell(MainWindow& window, NMHDR* notification, LRESULT& result);

}  // namespace zrcc
