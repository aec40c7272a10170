// settings.ini, the user-interface state kept between runs: the game list's
// column widths, the mod package folder and the main window's restored
// position and size. Read once after the main window exists, written once
// when it is destroyed; UI thread only.
#pragma once

#include <array>
#include <string>

#include "core/settings_rules.h"

namespace zrcc {

// The mod package folder as last read from the file or chosen by the user,
// whether or not it passed CheckModFolder. Any length.
extern std::wstring ModFolder;
// Whether ModFolder passed CheckModFolder.
extern bool ModFolderSet;
// Column widths in 96-DPI units as LoadSettings settled them; a DPI change
// re-scales the columns from these. Not updated when a column is dragged.
extern std::array<int, kColumnCount> LogicalColumnWidths;

// Sets the list view's column widths from the "UI" section and checks the
// saved package folder: when accepted, the path field shows it and
// ModFolderSet is true. Needs gListView and gPathField.
void LoadSettings();

// Writes the column widths (in 96-DPI units), the package folder and the
// main window's restored rectangle. Needs gMainWindow and gListView.
void SaveSettings();

}  // namespace zrcc
