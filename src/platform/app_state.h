// The program's shared window state, in one place: the handles of the
// controls other units write to, the package folder and its texts, the
// column widths, the selected row and whether a job runs. All of it belongs
// to the UI thread (a job thread reaches it only inside RunOnUiThread). The
// other process-wide data are the catalogue (gGameList, core/catalogue.h) and
// the Steam names (SteamGameNames, discovery/steam_manifests.h).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "core/columns.h"

namespace zrcc {

// Set by the main window when it creates its controls.
extern HWND gMainWindow;
extern HWND gListView;
extern HWND gStatusBar;
extern HWND gPathField;

// The mod package folder as last read from settings.ini or chosen by the
// user, whether or not it passed CheckModFolder (any length); and whether it
// passed.
extern std::wstring ModFolder;
extern bool ModFolderSet;

// FileVersion and ProductVersion of the package DLL, drawn by the two
// version fields; "not found" after a rejected first choice; empty at start.
extern std::wstring PackageVersionText;
extern std::wstring PackageBuildText;

// Column widths in 96-DPI units as LoadSettings settled them; a DPI change
// re-scales the columns from these. Not updated when a column is dragged.
extern std::array<int, kColumnCount> LogicalColumnWidths;

// The row the list last reported as selected; -1 at start.
extern int32_t SelectedRow;

// settings.ini was there at start but could not be read (held open by
// another program): what the window used are defaults, so the file is left
// as it is rather than overwritten with them.
extern bool SettingsUnreadable;

// True from the start of a background job until the main window has handled
// its end (background_job.h); the wait cursor follows it and no command is
// carried out while it is set.
extern bool isLoading;

// Everything above back to how the program starts (tests start many windows
// in one process).
void ResetAppState();

}  // namespace zrcc
