// A game's derived fields brought up to date from the disk, and its row in
// the game list: texts by column, insertion, rewriting, deletion, and the
// game count in the status bar.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "core/catalogue.h"
#include "core/columns.h"

namespace zrcc {

// Re-reads the game from the disk: false (and nothing changed) when its
// folder is gone from a drive that is there. A game whose drive or share is
// absent is kept (true) with driveAbsent set, its stored path, executable
// folder and name unchanged and nothing read. Executable detection runs when
// `forceDetect` is set, or when the stored executable folder has vanished;
// it sets `exeChoice`. A listed game kept in its game folder is marked None
// when no executable there is recognised.
// Runs on the caller's thread and touches only `game` and the disk.
bool RefreshGame(Game& game, bool forceDetect);

// RefreshGame without its one message, for refreshes on worker threads:
// `noExecutable` tells whether detection ran and found no executable at all,
// and the caller then shows WarnNoExecutable on its own thread, in its own
// order. When detection runs, the executables are searched and the size
// summed in a single walk of the tree. Once `stop` is set the walks end at
// their next folder and the game is left half refreshed: a caller that
// stopped uses nothing of it.
bool RefreshGameQuietly(Game& game, bool forceDetect, bool& noExecutable,
                        const std::atomic<bool>* stop = nullptr);

// The list holds no copy of the rows: row i shows game i of the catalogue,
// each cell's text taken from the game when the list draws it or is asked
// for it (AnswerGameRowRequest). The games of the rows shown are the UI
// thread's: a job changes them, and the catalogue's size, only inside calls
// it hands the UI thread, and changes the games after them as it likes.

// Appends (callers pass the current row count) a row for `game`, which is,
// or is about to be, game `index` of the catalogue.
void InsertGameRow(HWND listView, int32_t index, const Game& game);
// Shows games [row count, end) of the catalogue as rows, in one step. UI
// thread.
void ShowGameRows(HWND listView, int32_t end);
// No rows any more (the catalogue is left as it is). UI thread.
void ClearGameRows(HWND listView);
// Draws the row of the game at the same index again, from the game as it is
// now; the executable folder column keeps its text.
void UpdateGameRow(int32_t index);
// The executable folder column of a row shows the game's executable folder
// as it is now (it keeps the folder it was written with until then).
void RewriteExeFolderCell(int32_t index);
// Answers the list's requests for a cell's text and for the row that typed
// letters select. True when `notification` was one of them; `result` is
// then the value to return.
bool AnswerGameRowRequest(const NMHDR* notification, LRESULT& result);
// Whether the row shows a game whose drive or share is absent.
bool RowShowsDriveAbsent(HWND listView, int32_t row);
// Whether the row's game had no executable recognised (its exeChoice is
// None).
bool RowShowsNoExecutable(HWND listView, int32_t row);
// Removes the game and its row together; false when the index is outside
// the catalogue.
bool DeleteGame(HWND listView, int32_t index);
// "Games: N" with the list view's row count, and how many of the games
// shown hold an older mod than the package, when any do.
void UpdateGameCountText();

// What a row is read from the disk again for.
enum class RowRefresh {
  AfterDeployment,  // Copy, Install, Uninstall, Update, Undo: the executable folder column keeps its text
  ExeFolderChosen,  // the user chose the executable folder
  DetectAgain,      // detection forced, as when the game was added
};

// For a job: re-reads `game` (the game of `row` as it should now be) from
// the disk on the job's thread, then hands it to the UI thread, which puts
// it in the catalogue and rewrites its row and the count, if the row still
// shows that game. After a forced detection the name the game had stays
// when detection gives none or when it is `steamName` (a Steam name is the
// better one). Nothing is handed over once the job is asked to stop.
void RefreshRowFromJob(int32_t row, Game game, RowRefresh how = RowRefresh::AfterDeployment,
                       const std::wstring& steamName = {});

}  // namespace zrcc
