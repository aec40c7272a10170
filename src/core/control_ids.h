// The identifiers of the main window's controls and commands, by which
// commands and tooltips tell them apart. Platform-free.
#pragma once

#include <array>

namespace zrcc {

enum ControlId : int {
  kIdPathField = 2000,
  kIdSetFolderButton = 2001,
  kIdVersionField = 2002,
  kIdBuildField = 2003,
  kIdCopyButton = 2004,
  kIdInstallButton = 2005,
  kIdUninstallButton = 2006,
  kIdAddButton = 1001,
  kIdOpenButton = 1002,
  kIdDeleteButton = 1003,
  kIdRefreshButton = 1004,
  // Commands of the game list's row menu that have no button.
  kIdChooseExeFolder = 3001,
  kIdDetectExeAgain = 3002,
  // The menu of "Add Dir"'s arrow: today's add, and the search of the PC.
  kIdAddFolderItem = 3010,
  kIdFindGamesItem = 3011,
  kIdUpdateAllItem = 3012,  // "Update All Outdated"
  // The bottom bar's filter: the text field and the drop-down beside it.
  kIdFilterField = 4001,
  kIdFilterKind = 4002,
  // Commands of the game list's rows.
  kIdUpdateCommand = 3020,    // "Update Zandrivell"
  kIdUndoCopyCommand = 3021,  // "Undo Copy"
};

// Every button of the window, the top band's first.
inline constexpr std::array<int, 8> kAllButtons = {kIdSetFolderButton, kIdCopyButton,   kIdInstallButton,
                                                   kIdUninstallButton, kIdAddButton,    kIdOpenButton,
                                                   kIdDeleteButton,    kIdRefreshButton};

}  // namespace zrcc
