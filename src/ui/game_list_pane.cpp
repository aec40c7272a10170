#include "ui/game_list_pane.h"

#include <commctrl.h>

#include "core/owner_thread.h"
#include "core/list_view_rules.h"
#include "core/update_rules.h"
#include "platform/background_job.h"
#include "ui/notices.h"

namespace zrcc {

GameListPane::GameListPane(HWND listView, HWND statusBar, const Package& package)
    : rows_(listView), statusBar_(statusBar), package_(package) {
  rows_.SetCountChanged([this] { UpdateGameCountText(); });
  if (statusBar_) {
    // The count, then the note over the rest of the bar.
    const int dpi = static_cast<int>(GetDpiForWindow(statusBar_));
    int parts[2] = {MulDiv(260, dpi > 0 ? dpi : 96, 96), -1};
    SendMessageW(statusBar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  }
}

void GameListPane::SetStatusNote(const std::wstring& text) {
  CheckOwnerThread();
  if (statusBar_) SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void GameListPane::Loaded(size_t gone) {
  if (gone == 0) return;
  SetStatusNote(gone == 1 ? L"1 game was left out of the list: its folder is gone."
                          : std::to_wstring(gone) + L" games were left out of the list: their folders are gone.");
}

void GameListPane::SetStatusText(const std::wstring& text) {
  CheckOwnerThread();
  if (statusBar_) SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void GameListPane::UpdateGameCountText() {
  const int32_t rows = rows_.Shown();
  const PackageFacts package = package_.Facts();
  int32_t outdated = 0;
  for (int32_t row = 0; row < rows; ++row) {
    if (const Game* game = rows_.GameOfRow(row); game && IsOutdated(*game, package)) ++outdated;
  }
  SetStatusText(ShownGameCountText(rows, rows_.Taken(), outdated));
}

void GameListPane::ShowAsChosen(const ListChoice& choice) {
  CheckOwnerThread();
  const PackageFacts package = package_.Facts();
  if (!ListChoiceFilters(choice)) {
    rows_.SetView(choice.order, nullptr);
  } else {
    rows_.SetView(choice.order, [choice, package](const Game& game) { return GameShown(game, choice, package); });
  }
}

void GameListPane::LoadStarted() {
  SetStatusNote(L"");
  // The window repaints the list at once.
  if (const HWND window = GetParent(listView())) SendMessageW(window, kLoadStartedMessage, 0, 0);
}

void GameListPane::Loading() { SetStatusText(L"Loading..."); }

void GameListPane::ListNotRead(const ListFileRead& read) { ReportUnreadableList(read); }

void GameListPane::NoExecutable(const std::wstring& gamePath) { WarnNoExecutable(gamePath); }

void GameListPane::Refused(const AddNotice& notice) { ReportAddRefusal(notice); }

void GameListPane::Adding(size_t adding, size_t total) {
  SetStatusText(L"Adding " + std::to_wstring(adding) + L" of " + std::to_wstring(total) + L"...");
}

void GameListPane::SaveAdded() { SaveData(); }

void GameListPane::Searching(GameSource source) { SetStatusText(SearchingText(source)); }

void GameListPane::Found(const FindTally& tally, const std::vector<FindSkip>& skipped) {
  ReportFoundGames(tally, skipped);
}

bool LaunchAsyncLoadData(GameListPane& pane) { return StartListLoad(pane.listView(), pane); }

bool LaunchAsyncAddGameFolder(GameListPane& pane, const std::wstring& pickedFolder) {
  return LaunchAsyncAddGameFolders(pane, {pickedFolder});
}

bool LaunchAsyncAddGameFolders(GameListPane& pane, const std::vector<std::wstring>& folders) {
  return LaunchAsyncAddGameFolders(pane.listView(), pane, folders);
}

bool LaunchAsyncFindGames(GameListPane& pane) { return LaunchAsyncFindGames(pane.listView(), pane); }

bool AddGameFolder(GameListPane& pane, const std::wstring& pickedFolder) {
  return AddGameFolder(pane.listView(), pane, pickedFolder);
}

}  // namespace zrcc
