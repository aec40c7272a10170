#include "ui/notices.h"

#include <windows.h>

#include "core/paths.h"
#include "deploy/exe_detection.h"
#include "platform/app_folder.h"
#include "platform/dialogs.h"
#include "platform/disk.h"

namespace zrcc {

namespace {

constexpr wchar_t kDuplicateCaption[] = L"Duplicate";

void Warn(const std::wstring& text, const wchar_t* caption) {
  ShowMessageBox(nullptr, text, caption, MB_ICONWARNING | MB_OK);
}

bool RunAndReport(GameScript script, const ScriptFolders& folders, const ScriptWait& wait) {
  const ScriptOutcome outcome = RunGameScript(script, folders, wait);
  if (const std::wstring failure = ScriptFailureText(script, outcome); !failure.empty()) {
    ShowMessageBox(nullptr, failure, L"Error", MB_ICONERROR);
  }
  return outcome.ran;
}

std::wstring UnreadableReason(const ListFileRead& read) {
  switch (read.outcome) {
    case ListFileOutcome::TooLarge:
      return L"Reason: it is larger than " + std::to_wstring(kMaxDataFileBytes >> 20) + L" MB.";
    case ListFileOutcome::NotText:
      return L"Reason: its text is neither UTF-8 nor UTF-16 nor in this PC's code page.";
    default:
      return L"Reason: " + SystemErrorText(read.error);
  }
}

}  // namespace

void WarnNoExecutable(const std::wstring& gamePath) {
  Warn(L"The folder " + LastComponent(gamePath) + L" contains no executable!", L"No executable found");
}

std::optional<ExecutableCandidate> FindGameExecutable(const Game& game) {
  bool noExecutable = false;
  std::optional<ExecutableCandidate> chosen = DetectGameExecutable(game, &noExecutable);
  if (noExecutable) WarnNoExecutable(game.path);
  return chosen;
}

bool RunSetupScript(const ScriptFolders& folders, const ScriptWait& wait) {
  return RunAndReport(GameScript::Setup, folders, wait);
}

bool RunRemovalScript(const ScriptFolders& folders, const ScriptWait& wait) {
  return RunAndReport(GameScript::Removal, folders, wait);
}

bool RunSetupScript(const wchar_t* gameFolder) { return gameFolder && RunSetupScript({L"", gameFolder}); }

bool RunRemovalScript(const wchar_t* gameFolder) { return gameFolder && RunRemovalScript({L"", gameFolder}); }

void ReportUnreadableList(const ListFileRead& read) {
  ShowMessageBox(nullptr,
                 L"The game list could not be read, so the list starts empty.\n\nFile: " + read.path + L"\n" +
                     UnreadableReason(read) + L"\n\nThe file is left as it is. Before a list is saved in its place, it is " +
                     (ListWillBeMovedAside() ? L"moved" : L"copied") + L" to:\n" + ListKeptAsideAs(),
                 L"Error", MB_ICONWARNING | MB_OK);
}

bool SaveData() {
  SaveFailure failure;
  if (SaveGameList(failure)) return true;
  if (failure.path.empty()) return false;  // nowhere to save to
  const std::wstring what =
      failure.step == SaveFailure::Step::KeepAside ? L"The unreadable list could not be kept aside" : L"Reason";
  ShowMessageBox(nullptr,
                 L"The game list could not be saved.\n\nFile: " + failure.path + L"\n" + what + L": " +
                     SystemErrorText(failure.error) + L"\n\nThe file was left as it was before.",
                 L"Error", MB_ICONERROR | MB_OK);
  return false;
}

bool ReadDataFileText(std::wstring& text) {
  ListFileRead read = ReadGameListFile(AppFilePath(kDataFileName));
  NoteListFileRead(read);
  if (read.NotRead()) ReportUnreadableList(read);
  text = std::move(read.text);
  return read.HasText();
}

void ReportAddRefusal(const AddNotice& notice) {
  const std::wstring game =
      notice.game.name.empty() ? notice.game.path : notice.game.name + L"\n" + notice.game.path;
  switch (notice.refusal) {
    case AddRefusal::AlreadyListed:
      Warn(L"This folder is already in the list.", kDuplicateCaption);
      return;
    case AddRefusal::HoldsListedGame:
      Warn(L"This folder holds a game that is already in the list:\n" + game, kDuplicateCaption);
      return;
    case AddRefusal::InsideListedGame:
      Warn(L"This folder lies inside a game that is already in the list:\n" + game, kDuplicateCaption);
      return;
    case AddRefusal::LibraryListed:
      Warn(L"All Steam games from this folder are already in the list.", kDuplicateCaption);
      return;
    case AddRefusal::LibraryEmpty:
      Warn(L"This Steam library has no installed games:\n" + notice.folder, L"No games found");
      return;
    case AddRefusal::VolumeRoot:
      Warn(L"This is a whole drive, not a game folder:\n" + notice.folder + L"\n\nChoose the folder of one game, or a Steam library.",
           L"Invalid Folder");
      return;
  }
}

void ReportFoundGames(const FindTally& tally, const std::vector<FindSkip>& skipped) {
  ShowMessageBox(nullptr, FindSummaryText(tally, skipped), L"Find Games on This PC", MB_ICONINFORMATION | MB_OK);
}

}  // namespace zrcc
