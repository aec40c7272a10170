// What the program asks, or refuses with, before the mod goes into a game
// whose own state makes that risky: a game running from its folder, one
// protected by anti-cheat, one Steam is updating. Platform-free words; the
// facts come from the game record, the process list and Steam's manifest.
#pragma once

#include <span>
#include <string>

#include "core/game_files.h"
#include "core/pe_version.h"
#include "core/steam_manifest_text.h"

namespace zrcc {

// The deployment a question is asked before, as its question names it.
enum class DeployVerb { Copy, Install, Update };

// "Close <name> first: <exe name> is running." for an Error box.
std::wstring RunningGameRefusal(const std::wstring& gameTitle, const std::wstring& imagePath);

// "<name> uses Easy Anti-Cheat. A mod loaded into a game with anti-cheat can
// get your account banned in online play, or keep the game from starting.
// Copy ZandRivell anyway?"; empty when no system was found.
std::wstring AntiCheatQuestion(const std::wstring& gameTitle, std::span<const AntiCheatSystem> systems, DeployVerb verb);

// "Steam has an update pending for <name>. It may replace or remove files
// while it runs. Copy ZandRivell anyway?"; empty for no update.
std::wstring SteamUpdateQuestion(const std::wstring& gameTitle, SteamUpdate update, DeployVerb verb);

// "<name> runs as a 32-bit program: the ZandRivell DLL (64-bit) cannot load
// into it. Copy anyway?" for a game whose programs are all 32-bit; empty
// for any other.
std::wstring ProgramMachineQuestion(const std::wstring& gameTitle, PeMachine machine);

}  // namespace zrcc
