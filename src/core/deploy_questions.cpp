#include "core/deploy_questions.h"

namespace zrcc {

namespace {

std::wstring Anyway(DeployVerb verb) {
  switch (verb) {
    case DeployVerb::Copy: return L" Copy ZandRivell anyway?";
    case DeployVerb::Install: return L" Install ZandRivell anyway?";
    case DeployVerb::Update: return L" Update ZandRivell anyway?";
  }
  return {};
}

// "A", "A and B", "A, B and C".
std::wstring Listed(std::span<const AntiCheatSystem> systems) {
  std::wstring text;
  for (size_t i = 0; i < systems.size(); ++i) {
    if (i > 0) text += i + 1 == systems.size() ? L" and " : L", ";
    text += AntiCheatName(systems[i]);
  }
  return text;
}

}  // namespace

std::wstring RunningGameRefusal(const std::wstring& gameTitle, const std::wstring& imagePath) {
  const size_t cut = imagePath.find_last_of(L"\\/");
  const std::wstring exe = cut == std::wstring::npos ? imagePath : imagePath.substr(cut + 1);
  return L"Close " + gameTitle + L" first: " + exe + L" is running.";
}

std::wstring AntiCheatQuestion(const std::wstring& gameTitle, std::span<const AntiCheatSystem> systems, DeployVerb verb) {
  if (systems.empty()) return {};
  return gameTitle + L" uses " + Listed(systems) +
         L". A mod loaded into a game with anti-cheat can get your account banned in online play, or keep the game "
         L"from starting." +
         Anyway(verb);
}

std::wstring SteamUpdateQuestion(const std::wstring& gameTitle, SteamUpdate update, DeployVerb verb) {
  switch (update) {
    case SteamUpdate::None: return {};
    case SteamUpdate::Pending:
      return L"Steam has an update pending for " + gameTitle + L". It may replace or remove files while it runs." +
             Anyway(verb);
    case SteamUpdate::Paused:
      return L"Steam has paused an update of " + gameTitle + L". It may replace or remove files when it goes on." +
             Anyway(verb);
    case SteamUpdate::Running:
      return L"Steam is updating " + gameTitle + L". It may replace or remove files while it runs." + Anyway(verb);
  }
  return {};
}

std::wstring ProgramMachineQuestion(const std::wstring& gameTitle, PeMachine machine) {
  if (machine != PeMachine::X86) return {};
  return gameTitle + L" runs as a 32-bit program: the ZandRivell DLL (64-bit) cannot load into it. Copy anyway?";
}

}  // namespace zrcc
