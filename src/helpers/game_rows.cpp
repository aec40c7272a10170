#include "helpers/game_rows.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

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
// What a row carries besides its texts: the facts the texts do not show.
constexpr LPARAM kRowDriveAbsent = 1;
constexpr LPARAM kRowNoExecutable = 2;
LPARAM RowData(const Game& game) {
  return (game.driveAbsent ? kRowDriveAbsent : 0) | (game.exeChoice == ExeChoice::None ? kRowNoExecutable : 0);
}
}  // namespace

void InsertGameRow(HWND listView, int32_t index, const Game& game) {
  InsertListRow(listView, index, kColumns[kColumnPath].text(game), RowData(game));
  for (int column = kColumnPath + 1; column < kColumnCount; ++column) {
    SetListCell(listView, index, column, kColumns[static_cast<size_t>(column)].text(game));
  }
}

void UpdateGameRow(int32_t index) {
  const Game* game = GetGame(index);
  if (!game) return;
  // The executable folder column keeps the text it was inserted with.
  for (int column : {kColumnName, kColumnSize, kColumnStatus, kColumnModVersion, kColumnBuildVersion, kColumnPath}) {
    SetListCell(gListView, index, column, kColumns[static_cast<size_t>(column)].text(*game));
  }
  SetListRowData(gListView, index, RowData(*game));
}

bool RowShowsDriveAbsent(HWND listView, int32_t row) { return (ListRowData(listView, row) & kRowDriveAbsent) != 0; }

bool RowShowsNoExecutable(HWND listView, int32_t row) {
  return (ListRowData(listView, row) & kRowNoExecutable) != 0;
}

bool DeleteGame(HWND listView, int32_t index) {
  if (!RemoveGameAt(index)) return false;
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
    if (how != RowRefresh::AfterDeployment) {
      SetListCell(gListView, row, kColumnExeFolder, kColumns[kColumnExeFolder].text(*current));
    }
    UpdateGameCountText();
  });
}

}  // namespace zrcc
