// A game's derived fields brought up to date from the disk, and its row in
// the game list: texts by column, insertion, rewriting and deletion.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/columns.h"

namespace zrcc {

// Re-reads the game from the disk: false (and nothing changed) when its
// folder is gone from a drive that is there. A game whose drive or share is
// absent is kept (true) with driveAbsent set, its stored path, executable
// folder and name unchanged and nothing read. Executable detection runs when
// `forceDetect` is set, or when the stored executable folder has vanished;
// it sets `exeChoice`. A listed game kept in its game folder is marked None
// when no executable there is recognised. `noExecutable` (when given) tells
// whether detection ran and found no executable at all; whoever shows the
// list warns about it, in its own order. When detection runs, the
// executables are searched and the size summed in a single walk of the tree.
// Once `stop` is set the walks end at their next folder and the game is left
// half refreshed: a caller that stopped uses nothing of it.
// Touches only `game` and the disk, so any thread may refresh a copy.
bool RefreshGame(Game& game, bool forceDetect, bool* noExecutable = nullptr,
                 const std::atomic<bool>* stop = nullptr);

// RefreshGame with detection forced, where the executable at `named` (a full
// path, the one the game's launcher names) is the choice when the walk meets
// it (LauncherNamedExecutable); detection chooses otherwise.
bool RefreshGameWithExecutable(Game& game, const std::wstring& named, bool* noExecutable = nullptr,
                               const std::atomic<bool>* stop = nullptr);

// The rows of one game list view. The list holds no copy of them (owner
// data): row i shows game i of the catalogue, each cell's text taken from
// the game when the list draws it or is asked for it. Like the catalogue,
// the rows are the UI thread's. Made by the window that makes the list, and
// found again from the list's handle.
class GameRows {
 public:
  explicit GameRows(HWND listView);
  ~GameRows();
  GameRows(const GameRows&) = delete;
  GameRows& operator=(const GameRows&) = delete;

  HWND listView() const { return listView_; }
  // Called after every change of the number of rows shown (the count in the
  // status bar follows it).
  void SetCountChanged(std::function<void()> countChanged) { countChanged_ = std::move(countChanged); }
  void CountChanged() const;

  int32_t Shown() const;
  // The text of a cell as the row shows it now.
  std::wstring CellText(int32_t row, int column) const;
  // Shows games [rows shown, end) of the catalogue, in one step.
  void ShowUpTo(int32_t end);
  // A row for `game` at `row`, which is, or is about to be, game `row` of
  // the catalogue; the rows after it move down by one.
  void Insert(int32_t row, const Game& game);
  // No rows any more (the catalogue is left as it is).
  void Clear();
  // The row at `row` leaves the list; the rows after it move up.
  void Remove(int32_t row);
  // Draws the row again from its game as it is now; the executable folder
  // column keeps its text unless `exeFolderToo`.
  void Redraw(int32_t row, bool exeFolderToo = false);
  // The game a row of the list shows, or null for a row the list does not have.
  const Game* GameOfRow(int32_t row) const;
  // Answers the list's requests for a cell's text and for the row that typed
  // letters select.
  bool Answer(const NMHDR* notification, LRESULT& result) const;

 private:
  void MatchShownRows();

  HWND listView_;
  std::function<void()> countChanged_;
  // What each row's executable folder column shows: the game's executable
  // folder when the row was written, kept when a refresh after a deployment
  // finds another one (it changes only when the user chose the folder or had
  // it detected again). One text per row, index = row.
  std::vector<std::wstring> shownExeFolders_;
};

// The rows made for a list view, or null. UI thread.
GameRows* RowsOf(HWND listView);

// The list's own steps, by the names the rest of the program knows them by.
// Each finds the rows of `listView`; UI thread.

// Puts a row for `game` at `index` (callers append: they pass the row count).
void InsertGameRow(HWND listView, int32_t index, const Game& game);
// Shows games [row count, end) of the catalogue as rows, in one step.
void ShowGameRows(HWND listView, int32_t end);
// No rows any more (the catalogue is left as it is).
void ClearGameRows(HWND listView);
// Draws the row of the game at the same index again, from the game as it is
// now; the executable folder column keeps its text.
void UpdateGameRow(HWND listView, int32_t index);
// The executable folder column of a row shows the game's executable folder
// as it is now (it keeps the folder it was written with until then).
void RewriteExeFolderCell(HWND listView, int32_t index);
// Answers the list's requests for a cell's text and for the row that typed
// letters select. True when `notification` was one of them; `result` is
// then the value to return.
bool AnswerGameRowRequest(const NMHDR* notification, LRESULT& result);
// Whether the row shows a game whose drive or share is absent.
bool RowShowsDriveAbsent(HWND listView, int32_t row);
// Whether the row's game had no executable recognised (its exeChoice is None).
bool RowShowsNoExecutable(HWND listView, int32_t row);
// Removes the game and its row together, and the count follows; false when
// the index is outside the catalogue.
bool DeleteGame(HWND listView, int32_t index);

// Appends refreshed games to the catalogue, each with its row, painted and
// counted at once. Games already listed are passed over.
void AppendGames(HWND listView, std::vector<Game> games);

// What a row is read from the disk again for.
enum class RowRefresh {
  AfterDeployment,  // Copy, Install, Uninstall, Update, Undo: the executable folder column keeps its text
  ExeFolderChosen,  // the user chose the executable folder
  DetectAgain,      // detection forced, as when the game was added
};

// A game re-read for its row, as a job hands it back.
struct RefreshedRow {
  int32_t row = -1;
  Game game;
  RowRefresh how = RowRefresh::AfterDeployment;
  bool exists = false;        // RefreshGame's result
  bool noExecutable = false;  // detection ran and found no executable
};

// On a job's thread: re-reads `game` (the game of `row` as it should now be)
// from the disk. After a forced detection the name the game had stays when
// detection gives none or when it is `steamName` (a Steam name is the better
// one).
RefreshedRow RefreshRowCopy(int32_t row, Game game, RowRefresh how, const std::wstring& steamName,
                            const std::atomic<bool>* stop);

// On the UI thread: puts the re-read game in the catalogue and rewrites its
// row, if the row still shows that game. True when it did.
bool ApplyRefreshedRow(HWND listView, RefreshedRow refreshed);

}  // namespace zrcc
