#include "helpers/game_rows.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/input_rules.h"
#include "core/list_view_rules.h"
#include "core/mod_rules.h"
#include "core/owner_thread.h"
#include "core/paths.h"
#include "core/size_text.h"
#include "deploy/exe_detection.h"
#include "deploy/folder_size.h"
#include "deploy/game_file_scan.h"
#include "deploy/mod_state.h"
#include "platform/disk.h"
#include "platform/list_view.h"

namespace zrcc {

namespace {

// RefreshGame's work; `named`, when not empty, is the executable the game's
// launcher names, chosen over detection where the walk meets it.
bool RefreshGameFromDisk(Game& game, bool forceDetect, const std::wstring& named, bool* noExecutable,
                         const std::atomic<bool>* stop) {
  if (noExecutable) *noExecutable = false;
  switch (ProbeFolderPresence(game.path)) {
    case FolderPresence::Present:
      game.driveAbsent = false;
      break;
    case FolderPresence::Gone:
      return false;
    case FolderPresence::DriveAbsent:
      // Out of reach, not removed: the game keeps its folders and name, and
      // what can only be read from the disk is unknown until it is back.
      game.driveAbsent = true;
      game.sizeText.clear();
      game.sizeBytes.reset();
      game.modVersion.clear();
      game.buildVersion.clear();
      game.modState = ModState::None;
      game.gameFiles = {};
      game.exeMachine = PeMachine::Unknown;
      return true;
  }
  const bool detect = forceDetect || (!game.exeFolder.empty() && !IsExistingDirectory(ExeFolderPath(game)));
  // A listed game kept in its game folder: the list does not say whether an
  // executable was recognised there, so the rules are asked once more, in
  // the same walk. What is stored stays as it is.
  const bool review = !detect && game.exeFolder.empty() && game.exeChoice == ExeChoice::Listed;
  // One walk for the size, the game's own files and, where they are asked
  // for, the executables; else the machine types of the listed executable
  // folder's programs.
  const std::wstring programFolder = detect || review ? std::wstring() : ExeFolderPath(game);
  GameFolderWalk walk = WalkGameFolder(game.path, detect || review, stop, programFolder);
  if (detect || review) {
    const std::vector<ExecutableCandidate>& candidates = walk.executables;
    ExecutableChoice choice;
    if (!named.empty()) choice = LauncherNamedExecutable(game.path, candidates, named);
    if (!choice.index) choice = DecideExecutable(game.path, candidates);
    if (detect) {
      if (noExecutable) *noExecutable = candidates.empty();
      game.exeChoice = choice.how;
      if (choice.index) {
        const ExecutableCandidate& exe = candidates[*choice.index];
        game.exeFolder = RelativeExeFolder(CandidateFullPath(exe), game.path);
        game.name = exe.productName;
      } else {
        game.exeFolder.clear();
        game.name.clear();
      }
    } else if (!choice.index) {
      game.exeChoice = ExeChoice::None;
    }
  }
  if (stop && stop->load()) return true;
  game.sizeText = FormatSizeText(walk.size);
  game.sizeBytes = walk.size;
  game.gameFiles = std::move(walk.gameFiles);
  std::vector<PeMachine> machines = std::move(walk.programMachines);
  if (detect || review) {
    const std::wstring chosenFolder = ExeFolderPath(game);
    for (const ExecutableCandidate& candidate : walk.executables) {
      if (SameWalkedFolder(candidate.folder, chosenFolder)) machines.push_back(candidate.machine);
    }
  }
  game.exeMachine = ProgramMachine(machines);
  DetectModState(game, walk.copyFolders);
  return true;
}

}  // namespace

bool RefreshGame(Game& game, bool forceDetect, bool* noExecutable, const std::atomic<bool>* stop) {
  return RefreshGameFromDisk(game, forceDetect, {}, noExecutable, stop);
}

bool RefreshGameWithExecutable(Game& game, const std::wstring& named, bool* noExecutable,
                               const std::atomic<bool>* stop) {
  return RefreshGameFromDisk(game, true, named, noExecutable, stop);
}

namespace {

// The rows of each list view that has them; the list's handle finds them.
std::unordered_map<HWND, GameRows*>& RowsByList() {
  static std::unordered_map<HWND, GameRows*> rows;
  return rows;
}

// Copies `text` into the list's buffer, cut to the buffer as the list cuts
// the texts it keeps itself.
void CopyCellText(const std::wstring& text, LVITEMW& item) {
  if (!item.pszText || item.cchTextMax <= 0) return;
  const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
  text.copy(item.pszText, length);
  item.pszText[length] = L'\0';
}

}  // namespace

GameRows::GameRows(HWND listView) : listView_(listView) {
  CheckOwnerThread();
  RowsByList()[listView] = this;
}

GameRows::~GameRows() {
  CheckOwnerThread();
  auto found = RowsByList().find(listView_);
  if (found != RowsByList().end() && found->second == this) RowsByList().erase(found);
}

GameRows* RowsOf(HWND listView) {
  CheckOwnerThread();
  const auto found = RowsByList().find(listView);
  return found == RowsByList().end() ? nullptr : found->second;
}

void GameRows::CountChanged() const {
  if (countChanged_) countChanged_();
}

namespace {

// Names and paths as Explorer orders them: digits by their value.
int LogicalOrder(const std::wstring& a, const std::wstring& b) { return StrCmpLogicalW(a.c_str(), b.c_str()); }

int32_t MarkedRow(HWND listView, UINT mark) {
  return static_cast<int32_t>(SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(mark, 0)));
}

void SetRowMarks(HWND listView, int32_t row, UINT state, UINT mask) {
  LVITEMW item{};
  item.stateMask = mask;
  item.state = state;
  SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

int32_t GameRows::Shown() const {
  CheckOwnerThread();
  return static_cast<int32_t>(rows_.size());
}

int32_t GameRows::Taken() const {
  CheckOwnerThread();
  return static_cast<int32_t>(shownExeFolders_.size());
}

int32_t GameRows::GameIndexOfRow(int32_t row) const {
  CheckOwnerThread();
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return -1;
  return rows_[static_cast<size_t>(row)];
}

int32_t GameRows::RowOfGame(int32_t index) const {
  CheckOwnerThread();
  if (index < 0 || static_cast<size_t>(index) >= rowOfGame_.size()) return -1;
  return rowOfGame_[static_cast<size_t>(index)];
}

const Game* GameRows::GameOfRow(int32_t row) const { return GetGame(GameIndexOfRow(row)); }

std::wstring GameRows::CellText(int32_t row, int column) const {
  const int32_t index = GameIndexOfRow(row);
  const Game* game = GetGame(index);
  if (!game || column < 0 || column >= kColumnCount) return {};
  if (column == kColumnExeFolder && static_cast<size_t>(index) < shownExeFolders_.size()) {
    return shownExeFolders_[static_cast<size_t>(index)];
  }
  return kColumns[static_cast<size_t>(column)].text(*game);
}

void GameRows::IndexRows() {
  rowOfGame_.assign(shownExeFolders_.size(), -1);
  for (size_t row = 0; row < rows_.size(); ++row) {
    const auto index = static_cast<size_t>(rows_[row]);
    if (index < rowOfGame_.size()) rowOfGame_[index] = static_cast<int32_t>(row);
  }
}

void GameRows::ReplaceRows(std::vector<int32_t> rows, bool revealSelection) {
  // The list marks rows by number: the marks are taken off the old rows and
  // put back on the rows their games have now.
  const int32_t selected = GameIndexOfRow(MarkedRow(listView_, LVNI_SELECTED));
  const int32_t focused = GameIndexOfRow(MarkedRow(listView_, LVNI_FOCUSED));
  if (selected >= 0 || focused >= 0) SetRowMarks(listView_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  rows_ = std::move(rows);
  IndexRows();
  SetListRowCount(listView_, static_cast<int>(rows_.size()));
  if (const int32_t row = RowOfGame(focused); row >= 0) SetRowMarks(listView_, row, LVIS_FOCUSED, LVIS_FOCUSED);
  if (const int32_t row = RowOfGame(selected); row >= 0) {
    SetRowMarks(listView_, row, LVIS_SELECTED, LVIS_SELECTED);
    if (revealSelection) SendMessageW(listView_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  }
  InvalidateRect(listView_, nullptr, FALSE);
  CountChanged();
}

size_t GameRows::PlaceOf(int32_t index) const {
  if (order_.column < 0) return static_cast<size_t>(std::lower_bound(rows_.begin(), rows_.end(), index) - rows_.begin());
  return static_cast<size_t>(
      std::lower_bound(rows_.begin(), rows_.end(), index, RowsBefore(AllGames(), order_, LogicalOrder)) -
      rows_.begin());
}

void GameRows::SetView(RowOrder order, std::function<bool(const Game&)> shows) {
  CheckOwnerThread();
  order_ = order;
  shows_ = std::move(shows);
  std::vector<int32_t> rows;
  const std::vector<Game>& games = AllGames();
  for (size_t i = 0; i < shownExeFolders_.size() && i < games.size(); ++i) {
    if (Shows(games[i])) rows.push_back(static_cast<int32_t>(i));
  }
  SortRows(rows, games, order_, LogicalOrder);
  ReplaceRows(std::move(rows), true);
}

void GameRows::ShowUpTo(int32_t end) {
  CheckOwnerThread();
  const std::vector<Game>& games = AllGames();
  const size_t last = std::min(static_cast<size_t>(std::max(end, 0)), games.size());
  if (last <= shownExeFolders_.size()) return;
  std::vector<int32_t> arriving;
  for (size_t i = shownExeFolders_.size(); i < last; ++i) {
    shownExeFolders_.push_back(games[i].exeFolder);
    if (Shows(games[i])) arriving.push_back(static_cast<int32_t>(i));
  }
  if (order_.column < 0) {
    // The catalogue's order: the new games come after every row.
    rows_.insert(rows_.end(), arriving.begin(), arriving.end());
    IndexRows();
    SetListRowCount(listView_, static_cast<int>(rows_.size()));
    CountChanged();
    return;
  }
  // Sorted: the arrivals are merged in, one pass however long the list.
  std::vector<int32_t> rows = rows_;
  const RowsBefore before(games, order_, LogicalOrder);
  std::sort(arriving.begin(), arriving.end(), before);
  const auto middle = static_cast<std::ptrdiff_t>(rows.size());
  rows.insert(rows.end(), arriving.begin(), arriving.end());
  std::inplace_merge(rows.begin(), rows.begin() + middle, rows.end(), before);
  ReplaceRows(std::move(rows));
}

void GameRows::Clear() {
  CheckOwnerThread();
  rows_.clear();
  rows_.shrink_to_fit();
  rowOfGame_.clear();
  rowOfGame_.shrink_to_fit();
  shownExeFolders_.clear();
  shownExeFolders_.shrink_to_fit();
  DeleteAllListRows(listView_);
}

void GameRows::Remove(int32_t index) {
  CheckOwnerThread();
  if (index < 0 || static_cast<size_t>(index) >= shownExeFolders_.size()) return;
  const int32_t row = RowOfGame(index);
  shownExeFolders_.erase(shownExeFolders_.begin() + index);
  if (row >= 0) rows_.erase(rows_.begin() + row);
  for (int32_t& game : rows_) {
    if (game > index) --game;
  }
  IndexRows();
  // The list moves its selection and the rows below up by itself.
  if (row >= 0) DeleteListRow(listView_, row);
  CountChanged();
}

void GameRows::Redraw(int32_t index, bool exeFolderToo) {
  CheckOwnerThread();
  const Game* game = GetGame(index);
  if (!game || static_cast<size_t>(index) >= shownExeFolders_.size()) return;
  if (exeFolderToo) shownExeFolders_[static_cast<size_t>(index)] = game->exeFolder;
  const int32_t row = RowOfGame(index);
  const bool shows = Shows(*game);
  if (row >= 0 && shows) {
    RedrawListRow(listView_, row);
    return;
  }
  if (row < 0 && !shows) return;
  std::vector<int32_t> rows = rows_;
  if (row >= 0) {
    rows.erase(rows.begin() + row);
  } else {
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(PlaceOf(index)), index);
  }
  ReplaceRows(std::move(rows));
}

bool GameRows::Answer(const NMHDR* notification, LRESULT& result) const {
  if (notification->code == LVN_GETDISPINFOW) {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(notification))->item;
    if ((item.mask & LVIF_TEXT) && item.iSubItem >= 0 && item.iSubItem < kColumnCount) {
      CopyCellText(CellText(item.iItem, item.iSubItem), item);
    }
    result = 0;
    return true;
  }
  if (notification->code == LVN_ODFINDITEMW) {
    // Typed letters find a game by its name, in the order shown.
    const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(notification);
    const int32_t rows = Shown();
    result = -1;
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz || rows <= 0) return true;
    const auto found = FindTypedRow(static_cast<size_t>(rows), static_cast<size_t>(std::max(find->iStart, 0)),
                                    find->lvfi.psz, (find->lvfi.flags & LVFI_PARTIAL) != 0,
                                    (find->lvfi.flags & LVFI_WRAP) != 0, [this](size_t row) {
                                      const Game* game = GameOfRow(static_cast<int32_t>(row));
                                      return game ? TypedLetterText(*game) : std::wstring();
                                    });
    if (found) result = static_cast<LRESULT>(*found);
    return true;
  }
  return false;
}

void ShowGameRows(HWND listView, int32_t end) {
  if (GameRows* rows = RowsOf(listView)) rows->ShowUpTo(end);
}

int32_t GameIndexOfRow(HWND listView, int32_t row) {
  const GameRows* rows = RowsOf(listView);
  return rows ? rows->GameIndexOfRow(row) : -1;
}

int32_t SelectedGameIndex(HWND listView) { return GameIndexOfRow(listView, SelectedListRow(listView)); }

void ClearGameRows(HWND listView) {
  if (GameRows* rows = RowsOf(listView)) rows->Clear();
}

void UpdateGameRow(HWND listView, int32_t index) {
  if (GameRows* rows = RowsOf(listView)) rows->Redraw(index);
}

void RewriteExeFolderCell(HWND listView, int32_t index) {
  if (GameRows* rows = RowsOf(listView)) rows->Redraw(index, true);
}

bool AnswerGameRowRequest(const NMHDR* notification, LRESULT& result) {
  const GameRows* rows = RowsOf(notification->hwndFrom);
  return rows && rows->Answer(notification, result);
}

bool RowShowsDriveAbsent(HWND listView, int32_t row) {
  const GameRows* rows = RowsOf(listView);
  const Game* game = rows ? rows->GameOfRow(row) : nullptr;
  return game && game->driveAbsent;
}

bool RowShowsNoExecutable(HWND listView, int32_t row) {
  const GameRows* rows = RowsOf(listView);
  const Game* game = rows ? rows->GameOfRow(row) : nullptr;
  return game && game->exeChoice == ExeChoice::None;
}

bool DeleteGame(HWND listView, int32_t index) {
  if (!RemoveGameAt(index)) return false;
  if (GameRows* rows = RowsOf(listView)) rows->Remove(index);
  return true;
}

void AppendGames(HWND listView, std::vector<Game> games) {
  for (Game& game : games) {
    if (!ContainsPath(game.path)) AddGame(std::move(game));
  }
  ShowGameRows(listView, GameCount());
  UpdateWindow(listView);
}

RefreshedRow RefreshRowCopy(int32_t index, Game game, RowRefresh how, const std::wstring& steamName,
                            const std::atomic<bool>* stop) {
  RefreshedRow refreshed;
  refreshed.index = index;
  refreshed.how = how;
  const std::wstring nameBefore = game.name;
  refreshed.exists = RefreshGame(game, how == RowRefresh::DetectAgain, &refreshed.noExecutable, stop);
  if (how == RowRefresh::DetectAgain && !nameBefore.empty() && (game.name.empty() || nameBefore == steamName)) {
    game.name = nameBefore;
  }
  refreshed.game = std::move(game);
  return refreshed;
}

bool ApplyRefreshedRow(HWND listView, RefreshedRow refreshed) {
  Game* current = GetGame(refreshed.index);
  if (!refreshed.exists || !current || current->path != refreshed.game.path) return false;
  *current = std::move(refreshed.game);
  if (GameRows* rows = RowsOf(listView)) {
    rows->Redraw(refreshed.index, refreshed.how != RowRefresh::AfterDeployment);
    rows->CountChanged();
  }
  return true;
}

}  // namespace zrcc
