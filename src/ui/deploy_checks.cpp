#include "ui/deploy_checks.h"

#include <windows.h>

#include <vector>

#include "core/deploy_questions.h"
#include "core/drive_rules.h"
#include "core/paths.h"
#include "deploy/copy_check.h"
#include "deploy/mod_state.h"
#include "discovery/steam_manifests.h"
#include "platform/dialogs.h"
#include "platform/processes.h"
#include "platform/disk.h"
#include "ui/main_window.h"

namespace zrcc {

namespace {

// A byte count with thousands separators, as "2,584,576".
std::wstring ByteCount(uint64_t bytes) {
  std::wstring digits = std::to_wstring(bytes);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, L",");
  return digits;
}

std::wstring PackageVersionWords(const Package& package) {
  std::wstring words = L"version " + package.version();
  if (!package.build().empty()) words += L", build " + package.build();
  return words;
}

}  // namespace

bool GameFolderStillThere(MainWindow& window, const Game& game) {
  switch (ProbeFolderPresence(game.path)) {
    case FolderPresence::Present:
      return true;
    case FolderPresence::DriveAbsent:
      // Out of reach, not gone: the same words as the row's tooltip.
      ShowMessageBox(window.handle(), game.path + L"\n\n" + AbsentDriveTip(game.path), L"Error", MB_ICONERROR);
      return false;
    case FolderPresence::Gone:
      break;
  }
  ShowMessageBox(window.handle(), L"The game's folder no longer exists:\n" + game.path, L"Error", MB_ICONERROR);
  return false;
}

bool GameAllowsDeployment(MainWindow& window, const Game& game, DeployStep step) {
  const std::wstring title = game.name.empty() ? game.path : game.name;
  // A quick question of the system, asked at the moment it matters.
  if (const std::optional<RunningProcess> running = FindProcessRunningFrom(game.path)) {
    ShowMessageBox(window.handle(), RunningGameRefusal(title, running->imagePath), L"Error", MB_ICONERROR);
    return false;
  }
  DeployVerb verb = DeployVerb::Copy;
  const wchar_t* caption = L"Copy Zandrivell";
  switch (step) {
    case DeployStep::Copy: break;
    case DeployStep::Install: verb = DeployVerb::Install; caption = L"Install Zandrivell"; break;
    case DeployStep::Update: verb = DeployVerb::Update; caption = L"Update Zandrivell"; break;
    case DeployStep::Uninstall:
    case DeployStep::UndoCopy:
      return true;  // taking the mod out is always allowed
  }
  const auto ask = [&](const std::wstring& question) {
    return question.empty() ||
           ShowMessageBox(window.handle(), question, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
  };
  // Copy only: a game that has the mod already was asked when it came.
  if (step == DeployStep::Copy && !ask(ProgramMachineQuestion(title, game.exeMachine))) return false;
  return ask(AntiCheatQuestion(title, game.gameFiles.antiCheats, verb)) &&
         ask(SteamUpdateQuestion(title, SteamUpdateOf(game.path), verb));
}

bool PackageStillAsShown(MainWindow& window) {
  Package& package = window.package();
  bool changed = false;
  if (package.StillAsShown(changed)) return true;
  if (changed) {
    ShowMessageBox(window.handle(),
                   L"The ZandRivell package has changed since it was chosen: it is now " + PackageVersionWords(package) +
                       L".\n\nNothing was copied. Press \"Copy Zandrivell\" again to copy this version.",
                   L"Package changed", MB_ICONWARNING);
    return false;
  }
  ShowMessageBox(window.handle(),
                 L"No ZandRivell.dll was found in this folder:\n" + package.folder() + L"\n\nNothing was copied.",
                 L"Invalid Folder", MB_ICONWARNING);
  return false;
}

std::wstring ShortCopiesText(const std::vector<ShortCopy>& shortCopies) {
  constexpr size_t kListed = 15;  // a box still fits on the screen
  std::wstring text;
  for (size_t i = 0; i < shortCopies.size() && i < kListed; ++i) {
    const ShortCopy& file = shortCopies[i];
    text += file.relativePath + (file.foundBytes ? L": " + ByteCount(*file.foundBytes) + L" bytes instead of " +
                                                       ByteCount(file.expectedBytes)
                                                 : std::wstring(L": missing")) +
            L"\n";
  }
  if (shortCopies.size() > kListed) text += L"and " + std::to_wstring(shortCopies.size() - kListed) + L" more\n";
  return text;
}


}  // namespace zrcc
