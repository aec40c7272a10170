// When "Update Zandrivell" and "Undo Copy" may be used on a game, and what
// the program says about the mod's life in a game: outdated versions, a
// deployment whose files have changed since. Platform-free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/catalogue.h"
#include "core/deployment_record.h"
#include "core/file_version.h"

namespace zrcc {

// The package as the version fields show it: its two version texts and the
// fixed version of its DLL.
struct PackageFacts {
  bool set = false;  // the package folder passed its check
  std::wstring version;
  std::wstring build;
  std::optional<FileVersionNumbers> numbers;
};

// True when the game holds the mod in a version below the package's.
bool IsOutdated(const Game& game, const PackageFacts& package);

// True when the game holds the mod and anything that tells versions apart
// (the fixed version, the version or build text) is not the package's.
bool DiffersFromPackage(const Game& game, const PackageFacts& package);

// What the two commands' rules rest on, for the game of the selected row.
struct LifecycleFacts {
  bool rowSelected = false;
  ModState state = ModState::None;
  bool outdated = false;
  bool differs = false;
  RecordHealth record = RecordHealth::None;
  bool packageSet = false;
  // The record lies in a folder that is no longer the executable folder:
  // Undo Copy takes the copy out there, Update does not follow it.
  bool recordElsewhere = false;
};

LifecycleFacts LifecycleFactsOf(const Game* game, const PackageFacts& package);

// "Update Zandrivell": with a package, for a game that holds the mod in
// another version than the package's, that was copied and whose copied
// files have changed or gone since, or whose last copy was interrupted
// (then it deploys again).
bool UpdateEnabled(const LifecycleFacts& facts);
// "Undo Copy": for a game whose record of a copy is followed and has work
// left, whatever the status column shows.
bool UndoCopyEnabled(const LifecycleFacts& facts);

// Tooltip line of an outdated game: "ZandRivell 0.6.2 is in this game; the
// package holds 0.8.0."; empty when the game is not outdated.
std::wstring OutdatedTipLine(const Game& game, const PackageFacts& package);
// Tooltip line about the record of the last copy: its files changed or gone
// (for a copied game, where that is news), the copy interrupted, or the
// record ignored; empty otherwise.
std::wstring DeploymentTipLine(const Game& game);

// The question "Update Zandrivell" asks first, naming both versions.
std::wstring UpdateQuestion(const Game& game, const PackageFacts& package);

// "Games: 12", and when some are outdated "Games: 12 (3 outdated)".
std::wstring GameCountText(int32_t games, int32_t outdated);

// The colours of an outdated game's version cell (COLORREF values,
// 0x00BBGGRR). In high contrast the theme's own pair for links on a window
// is taken, which the theme makes readable; otherwise a fixed dark text on a
// light amber background.
struct CellColours {
  uint32_t text;
  uint32_t background;
};
CellColours OutdatedCellColours(bool highContrast, uint32_t themeLinkText, uint32_t themeWindow);

// The contrast ratio of two colours (1 to 21) as accessibility guidelines
// define it, from their relative luminance.
double ContrastRatio(uint32_t first, uint32_t second);

}  // namespace zrcc
