#include "helpers/game_rows.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/input_rules.h"
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
  // for, the executables.
  GameFolderWalk walk = WalkGameFolder(game.path, detect || review, stop);
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
  game.gameFiles = std::move(walk.gameFiles);
  game.exeMachine = ProgramMachineOfFolder(ExeFolderPath(game));
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

// The texts follow the list's own count, whoever changed it last (rows
// deleted by the list's own messages); every change of the rows here matches
// them first, so drawing a cell never needs to.
void GameRows::MatchShownRows() {
  const auto rows = static_cast<size_t>(std::max(ListRowCount(listView_), 0));
  if (shownExeFolders_.size() > rows) shownExeFolders_.resize(rows);
  while (shownExeFolders_.size() < rows) {
    const Game* game = GetGame(static_cast<int32_t>(shownExeFolders_.size()));
    shownExeFolders_.push_back(game ? game->exeFolder : std::wstring());
  }
}

int32_t GameRows::Shown() const {
  CheckOwnerThread();
  return ListRowCount(listView_);
}

std::wstring GameRows::CellText(int32_t row, int column) const {
  CheckOwnerThread();
  const Game* game = GetGame(row);
  if (!game || column < 0 || column >= kColumnCount) return {};
  if (column == kColumnExeFolder && row >= 0 && static_cast<size_t>(row) < shownExeFolders_.size()) {
    return shownExeFolders_[static_cast<size_t>(row)];
  }
  return kColumns[static_cast<size_t>(column)].text(*game);
}

void GameRows::ShowUpTo(int32_t end) {
  CheckOwnerThread();
  MatchShownRows();
  for (int32_t row = static_cast<int32_t>(shownExeFolders_.size()); row < end; ++row) {
    const Game* game = GetGame(row);
    if (!game) break;
    shownExeFolders_.push_back(game->exeFolder);
  }
  SetListRowCount(listView_, static_cast<int>(shownExeFolders_.size()));
  CountChanged();
}

void GameRows::Insert(int32_t row, const Game& game) {
  CheckOwnerThread();
  MatchShownRows();
  const auto at = static_cast<size_t>(std::clamp<int32_t>(row, 0, static_cast<int32_t>(shownExeFolders_.size())));
  shownExeFolders_.insert(shownExeFolders_.begin() + static_cast<std::ptrdiff_t>(at), game.exeFolder);
  SetListRowCount(listView_, static_cast<int>(shownExeFolders_.size()));
  // The rows from the new one on now show other games.
  if (at + 1 < shownExeFolders_.size()) {
    RedrawListRows(listView_, static_cast<int>(at), static_cast<int>(shownExeFolders_.size()) - 1);
  }
  CountChanged();
}

void GameRows::Clear() {
  CheckOwnerThread();
  shownExeFolders_.clear();
  shownExeFolders_.shrink_to_fit();
  DeleteAllListRows(listView_);
}

void GameRows::Remove(int32_t row) {
  CheckOwnerThread();
  MatchShownRows();
  if (row < 0 || static_cast<size_t>(row) >= shownExeFolders_.size()) return;
  shownExeFolders_.erase(shownExeFolders_.begin() + row);
  DeleteListRow(listView_, row);
  CountChanged();
}

void GameRows::Redraw(int32_t row, bool exeFolderToo) {
  CheckOwnerThread();
  const Game* game = GetGame(row);
  if (!game) return;
  if (exeFolderToo) {
    MatchShownRows();
    if (static_cast<size_t>(row) >= shownExeFolders_.size()) return;
    shownExeFolders_[static_cast<size_t>(row)] = game->exeFolder;
  }
  RedrawListRow(listView_, row);
}

const Game* GameRows::GameOfRow(int32_t row) const {
  CheckOwnerThread();
  return row < ListRowCount(listView_) ? GetGame(row) : nullptr;
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
    const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(notification);
    const int rows = ListRowCount(notification->hwndFrom);
    result = -1;
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz || rows <= 0) return true;
    const auto found = FindTypedRow(static_cast<size_t>(rows), static_cast<size_t>(std::max(find->iStart, 0)),
                                    find->lvfi.psz, (find->lvfi.flags & LVFI_PARTIAL) != 0,
                                    (find->lvfi.flags & LVFI_WRAP) != 0,
                                    [this](size_t row) { return CellText(static_cast<int32_t>(row), kColumnPath); });
    if (found) result = static_cast<LRESULT>(*found);
    return true;
  }
  return false;
}

void InsertGameRow(HWND listView, int32_t index, const Game& game) {
  if (GameRows* rows = RowsOf(listView)) rows->Insert(index, game);
}

void ShowGameRows(HWND listView, int32_t end) {
  if (GameRows* rows = RowsOf(listView)) rows->ShowUpTo(end);
}

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

RefreshedRow RefreshRowCopy(int32_t row, Game game, RowRefresh how, const std::wstring& steamName,
                            const std::atomic<bool>* stop) {
  RefreshedRow refreshed;
  refreshed.row = row;
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
  Game* current = GetGame(refreshed.row);
  if (!refreshed.exists || !current || current->path != refreshed.game.path) return false;
  *current = std::move(refreshed.game);
  if (GameRows* rows = RowsOf(listView)) {
    rows->Redraw(refreshed.row, refreshed.how != RowRefresh::AfterDeployment);
    rows->CountChanged();
  }
  return true;
}

}  // namespace zrcc
