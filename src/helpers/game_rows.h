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
#include "core/list_view_rules.h"

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

// The rows of one game list view: a view over the catalogue. The list holds
// no copy of them (owner data); each row shows one catalogue game, each
// cell's text taken from the game when the list draws it or is asked for
// it. Which games show and in which order (a column sorted by, a filter)
// belongs to the view alone: the catalogue keeps its own order, which is the
// order data.ini is saved in, and a game the filter hides stays in it.
// Everything that goes from a row to its game, or back, goes through here:
// `GameIndexOfRow` and `RowOfGame`. Jobs name games by catalogue index,
// never by row. Like the catalogue, the rows are the UI thread's. Made by
// the window that makes the list, and found again from the list's handle.
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

  // Rows shown; games of the catalogue the rows have taken in, shown or not.
  int32_t Shown() const;
  int32_t Taken() const;
  // The catalogue index of the game a row shows, or -1 for a row the list
  // does not have; the row showing a game, or -1 when it shows none.
  int32_t GameIndexOfRow(int32_t row) const;
  int32_t RowOfGame(int32_t index) const;
  // The game a row of the list shows, or null for a row the list does not have.
  const Game* GameOfRow(int32_t row) const;
  // The text of a cell as the row shows it now.
  std::wstring CellText(int32_t row, int column) const;

  // The order and the filter: every game taken in is placed again, and the
  // selected game stays selected where it is still shown. A game is let
  // through when `shows` says so (all games without it).
  void SetView(RowOrder order, std::function<bool(const Game&)> shows);
  RowOrder order() const { return order_; }
  // Takes in games [Taken(), end) of the catalogue, in one step: each the
  // filter lets through gets its row in the current order (a load arriving
  // while the list is sorted is placed as it comes).
  void ShowUpTo(int32_t end);
  // No rows any more (the catalogue is left as it is).
  void Clear();
  // Game `index` has just left the catalogue: its row goes, and the games
  // after it keep their rows under their new indices.
  void Remove(int32_t index);
  // Draws the row of game `index` again from the game as it is now; the
  // executable folder column keeps its text unless `exeFolderToo`. A game
  // the filter no longer lets through leaves the list, and one it now lets
  // through comes in, in the current order; the others stay where they are
  // until the next sort, so a row never moves away from under the user.
  void Redraw(int32_t index, bool exeFolderToo = false);
  // Answers the list's requests for a cell's text and for the row that typed
  // letters select.
  bool Answer(const NMHDR* notification, LRESULT& result) const;

 private:
  bool Shows(const Game& game) const { return !shows_ || shows_(game); }
  // The list shows `rows` from now on; the selected and focused games keep
  // their marks where they are still shown (scrolled into sight when
  // `revealSelection`).
  void ReplaceRows(std::vector<int32_t> rows, bool revealSelection = false);
  void IndexRows();
  // Where game `index` goes among the rows in the current order.
  size_t PlaceOf(int32_t index) const;

  HWND listView_;
  std::function<void()> countChanged_;
  RowOrder order_;
  std::function<bool(const Game&)> shows_;
  // Row -> catalogue index, and catalogue index -> row (-1: not shown).
  std::vector<int32_t> rows_;
  std::vector<int32_t> rowOfGame_;
  // What each game's executable folder column shows: the game's executable
  // folder when its row was written, kept when a refresh after a deployment
  // finds another one (it changes only when the user chose the folder or had
  // it detected again). One text per game taken in, index = catalogue index.
  std::vector<std::wstring> shownExeFolders_;
};

// The rows made for a list view, or null. UI thread.
GameRows* RowsOf(HWND listView);

// The list's own steps, by the names the rest of the program knows them by.
// Each finds the rows of `listView`; UI thread.

// Takes in games [games taken in, end) of the catalogue as rows, in one step.
void ShowGameRows(HWND listView, int32_t end);
// The catalogue index of the game the selected row shows, or -1. Commands
// act on this, never on a row number.
int32_t SelectedGameIndex(HWND listView);
// The catalogue index of the game a row shows, or -1.
int32_t GameIndexOfRow(HWND listView, int32_t row);
// No rows any more (the catalogue is left as it is).
void ClearGameRows(HWND listView);
// Draws the row of catalogue game `index` again, from the game as it is
// now; the executable folder column keeps its text.
void UpdateGameRow(HWND listView, int32_t index);
// The executable folder column of game `index`'s row shows the game's
// executable folder as it is now (it keeps the folder it was written with
// until then).
void RewriteExeFolderCell(HWND listView, int32_t index);
// Answers the list's requests for a cell's text and for the row that typed
// letters select. True when `notification` was one of them; `result` is
// then the value to return.
bool AnswerGameRowRequest(const NMHDR* notification, LRESULT& result);
// Whether the row shows a game whose drive or share is absent.
bool RowShowsDriveAbsent(HWND listView, int32_t row);
// Whether the row's game had no executable recognised (its exeChoice is None).
bool RowShowsNoExecutable(HWND listView, int32_t row);
// Removes catalogue game `index` and its row together, and the count
// follows; false when the index is outside the catalogue.
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

// A game re-read for its row, as a job hands it back: named by its
// catalogue index, whatever row shows it by then.
struct RefreshedRow {
  int32_t index = -1;
  Game game;
  RowRefresh how = RowRefresh::AfterDeployment;
  bool exists = false;        // RefreshGame's result
  bool noExecutable = false;  // detection ran and found no executable
};

// On a job's thread: re-reads `game` (catalogue game `index` as it should now be)
// from the disk. After a forced detection the name the game had stays when
// detection gives none or when it is `steamName` (a Steam name is the better
// one).
RefreshedRow RefreshRowCopy(int32_t index, Game game, RowRefresh how, const std::wstring& steamName,
                            const std::atomic<bool>* stop);

// On the UI thread: puts the re-read game in the catalogue and rewrites its
// row, if catalogue game `index` is still that game. True when it did.
bool ApplyRefreshedRow(HWND listView, RefreshedRow refreshed);

}  // namespace zrcc
