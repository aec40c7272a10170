#include "helpers/game_rows.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/input_rules.h"
#include "core/mod_rules.h"
#include "core/paths.h"
#include "core/size_text.h"
#include "core/update_rules.h"
#include "deploy/exe_detection.h"
#include "deploy/folder_size.h"
#include "deploy/mod_state.h"
#include "platform/app_state.h"
#include "platform/background_job.h"
#include "platform/disk.h"
#include "platform/list_view.h"

namespace zrcc {

bool RefreshGameQuietly(Game& game, bool forceDetect, bool& noExecutable, const std::atomic<bool>* stop) {
  noExecutable = false;
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
      return true;
  }
  const bool detect = forceDetect || (!game.exeFolder.empty() && !IsExistingDirectory(ExeFolderPath(game)));
  // A listed game kept in its game folder: the list does not say whether an
  // executable was recognised there, so the rules are asked once more, in
  // the same walk. What is stored stays as it is.
  const bool review = !detect && game.exeFolder.empty() && game.exeChoice == ExeChoice::Listed;
  uint64_t size = 0;
  if (detect || review) {
    std::vector<ExecutableCandidate> candidates;
    size = CollectExecutablesAndMeasure(game.path, candidates, stop);
    const ExecutableChoice choice = DecideExecutable(game.path, candidates);
    if (detect) {
      noExecutable = candidates.empty();
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
  } else {
    size = MeasureFolderSize(game.path, stop);
  }
  if (stop && stop->load()) return true;
  game.sizeText = FormatSizeText(size);
  DetectModState(game);
  return true;
}

bool RefreshGame(Game& game, bool forceDetect) {
  bool noExecutable = false;
  const bool refreshed = RefreshGameQuietly(game, forceDetect, noExecutable);
  if (noExecutable) WarnNoExecutable(game.path);
  return refreshed;
}

namespace {

// What each row's executable folder column shows: the game's executable
// folder when the row was written, kept when a refresh after a deployment
// finds another one (it changes only when the user chose the folder or had it
// detected again). One text per row, index = row. UI thread.
std::vector<std::wstring> gShownExeFolders;

std::wstring CellText(int32_t row, int column) {
  const Game* game = GetGame(row);
  if (!game) return {};
  if (column == kColumnExeFolder && static_cast<size_t>(row) < gShownExeFolders.size()) {
    return gShownExeFolders[static_cast<size_t>(row)];
  }
  return kColumns[static_cast<size_t>(column)].text(*game);
}

// The texts follow the list's own count, whoever changed it last (a new
// list, rows deleted by the list's own messages); every change of the rows
// here matches them first, so drawing a cell never needs to.
void MatchShownRows(HWND listView) {
  const auto rows = static_cast<size_t>(std::max(ListRowCount(listView), 0));
  if (gShownExeFolders.size() > rows) gShownExeFolders.resize(rows);
  while (gShownExeFolders.size() < rows) {
    const Game* game = GetGame(static_cast<int32_t>(gShownExeFolders.size()));
    gShownExeFolders.push_back(game ? game->exeFolder : std::wstring());
  }
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

void InsertGameRow(HWND listView, int32_t /*index: always the row count*/, const Game& game) {
  MatchShownRows(listView);
  gShownExeFolders.push_back(game.exeFolder);
  SetListRowCount(listView, static_cast<int>(gShownExeFolders.size()));
}

void ShowGameRows(HWND listView, int32_t end) {
  MatchShownRows(listView);
  for (int32_t row = static_cast<int32_t>(gShownExeFolders.size()); row < end; ++row) {
    const Game* game = GetGame(row);
    if (!game) break;
    gShownExeFolders.push_back(game->exeFolder);
  }
  SetListRowCount(listView, static_cast<int>(gShownExeFolders.size()));
}

void ClearGameRows(HWND listView) {
  gShownExeFolders.clear();
  gShownExeFolders.shrink_to_fit();
  DeleteAllListRows(listView);
}

void UpdateGameRow(int32_t index) {
  if (GetGame(index)) RedrawListRow(gListView, index);
}

void RewriteExeFolderCell(int32_t index) {
  MatchShownRows(gListView);
  const Game* game = GetGame(index);
  if (!game || static_cast<size_t>(index) >= gShownExeFolders.size()) return;
  gShownExeFolders[static_cast<size_t>(index)] = game->exeFolder;
  RedrawListRow(gListView, index);
}

bool AnswerGameRowRequest(const NMHDR* notification, LRESULT& result) {
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
                                    [](size_t row) { return CellText(static_cast<int32_t>(row), kColumnPath); });
    if (found) result = static_cast<LRESULT>(*found);
    return true;
  }
  return false;
}

namespace {
// The game a row of the list shows, or null for a row the list does not have.
const Game* ShownGame(HWND listView, int32_t row) { return row < ListRowCount(listView) ? GetGame(row) : nullptr; }
}  // namespace

bool RowShowsDriveAbsent(HWND listView, int32_t row) {
  const Game* game = ShownGame(listView, row);
  return game && game->driveAbsent;
}

bool RowShowsNoExecutable(HWND listView, int32_t row) {
  const Game* game = ShownGame(listView, row);
  return game && game->exeChoice == ExeChoice::None;
}

bool DeleteGame(HWND listView, int32_t index) {
  if (!RemoveGameAt(index)) return false;
  MatchShownRows(listView);
  if (static_cast<size_t>(index) < gShownExeFolders.size()) {
    gShownExeFolders.erase(gShownExeFolders.begin() + index);
  }
  DeleteListRow(listView, index);
  UpdateGameCountText();
  return true;
}

void UpdateGameCountText() {
  const int32_t rows = ListRowCount(gListView);
  const PackageFacts package = CurrentPackageFacts();
  // Only games that have their row yet: during a load the games after them
  // are still the load's own.
  int32_t outdated = 0;
  for (int32_t row = 0; row < rows; ++row) {
    if (const Game* game = GetGame(row); game && IsOutdated(*game, package)) ++outdated;
  }
  const std::wstring text = GameCountText(rows, outdated);
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void RefreshRowFromJob(int32_t row, Game game, RowRefresh how, const std::wstring& steamName) {
  const std::wstring nameBefore = game.name;
  bool noExecutable = false;
  const bool exists = RefreshGameQuietly(game, how == RowRefresh::DetectAgain, noExecutable, StopRequest());
  if (StopRequested()) return;
  if (noExecutable) WarnNoExecutable(game.path);
  if (how == RowRefresh::DetectAgain && !nameBefore.empty() && (game.name.empty() || nameBefore == steamName)) {
    game.name = nameBefore;
  }
  RunOnUiThread([row, how, exists, &game] {
    Game* current = GetGame(row);
    if (!exists || !current || current->path != game.path) return;
    *current = std::move(game);
    UpdateGameRow(row);
    if (how != RowRefresh::AfterDeployment) RewriteExeFolderCell(row);
    UpdateGameCountText();
  });
}

}  // namespace zrcc
