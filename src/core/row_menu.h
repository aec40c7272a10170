// The menu of a game list row (right-click, Shift+F10, the context-menu
// key): its entries in one table, each with the command it gives and when
// it can be chosen. Platform-free.
#pragma once

#include <span>

#include "core/button_rules.h"
#include "core/update_rules.h"

namespace zrcc {

// What the entries' states rest on, for the row the menu is opened on.
struct RowMenuFacts {
  DeploymentFacts deployment;  // as the deployment buttons see the row
  LifecycleFacts lifecycle;    // the mod's life in the row's game: Update, Undo Copy
};

struct RowMenuEntry {
  const wchar_t* text;  // nullptr: a separator
  int command;          // the command identifier HandleCommand carries out
  bool (*enabled)(const RowMenuFacts& facts);
};

// In menu order. The entries that have a button are enabled exactly when
// their button is.
std::span<const RowMenuEntry> RowMenuEntries();

}  // namespace zrcc
