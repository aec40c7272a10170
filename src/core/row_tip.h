// The tooltip of a game list row: what the row's cells cannot say, one line
// per fact. Platform-free.
#pragma once

#include <string>
#include <vector>

namespace zrcc {

// What the tooltip of one row rests on.
struct RowTipFacts {
  std::wstring path;  // the game folder, as the row shows it
  // The folder's drive or network share was absent at the last refresh.
  bool driveAbsent = false;
  // No executable was recognised in the game: the mod would go into the
  // game folder itself.
  bool noExecutableChosen = false;
  // The mod's life in the game, each a whole line or empty: an older mod
  // than the package's (OutdatedTipLine), the last copy's files changed or
  // gone since, or its record ignored (DeploymentTipLine).
  std::wstring outdated;
  std::wstring deployment;
  // The game's own files: its upscaler DLLs one a line, the anti-cheat
  // systems found (UpscalerTipLines, AntiCheatTipLine).
  std::vector<std::wstring> upscalers;
  std::wstring antiCheat;
  // Every program of the executable folder is 32-bit: the mod's 64-bit DLL
  // cannot load into the game.
  bool runs32Bit = false;
};

// The tooltip's text, its lines joined by CR LF; empty when there is
// nothing to say (then no tooltip shows).
std::wstring RowTip(const RowTipFacts& facts);

}  // namespace zrcc
