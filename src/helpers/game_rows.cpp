#include "helpers/game_rows.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "core/mod_rules.h"
#include "core/paths.h"
#include "core/size_text.h"
#include "deploy/exe_detection.h"
#include "deploy/folder_size.h"
#include "deploy/mod_state.h"
#include "platform/app_state.h"
#include "platform/disk.h"
#include "platform/list_view.h"

namespace zrcc {

bool RefreshGameQuietly(Game& game, bool forceDetect, bool& noExecutable, const std::atomic<bool>* stop) {
  noExecutable = false;
  if (!IsExistingDirectory(game.path)) return false;
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

void InsertGameRow(HWND listView, int32_t index, const Game& game) {
  InsertListRow(listView, index, kColumns[kColumnPath].text(game));
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
}

bool DeleteGame(HWND listView, int32_t index) {
  if (!RemoveGameAt(index)) return false;
  DeleteListRow(listView, index);
  UpdateGameCountText();
  return true;
}

void UpdateGameCountText() {
  const std::wstring text = L"Games: " + std::to_wstring(ListRowCount(gListView));
  SendMessageW(gStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace zrcc
