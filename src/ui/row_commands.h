// What the game list's rows offer beyond the buttons: the row menu
// (right-click, Shift+F10, the context-menu key), the user's word on where a
// game's executable lies, detection run again, and the refresh of one row
// in the background that all of them and the deployments end with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "core/catalogue.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"

namespace zrcc {

class MainWindow;

// Work a command hands a job, on the job's thread.
using JobPart = std::function<void(const JobContext& job)>;

// Reads `game` (catalogue game `index` as it should now be) from the disk as a
// job, and hands it back to the row; `first`, when given, is work of the
// command's own that belongs on that thread before it.
void RefreshRowInBackground(MainWindow& window, int32_t index, Game game, RowRefresh how, JobPart first = {});

// On a job's thread: re-reads `game` for catalogue game `index` and posts it to the row (the
// warning about a game without any executable first). Nothing once the job
// is asked to stop. A new executable folder (chosen, or detected again) is
// saved to data.ini at once; when the copy of ZandRivell lies in the old one,
// the user is asked first (`askAboutTheMod`) whether to take it out of there,
// to keep it there (its record and Undo Copy stay within reach), or to keep
// the old folder.
void RefreshRowFromJob(const JobContext& job, MainWindow& window, int32_t index, Game game,
                       RowRefresh how = RowRefresh::AfterDeployment, const std::wstring& steamName = {},
                       bool askAboutTheMod = true);

// "Choose Executable Folder..." for the selected game: a folder picker that
// opens at its executable folder; a folder outside the game folder is
// refused with a warning naming both; otherwise it becomes the game's
// executable folder (kept in data.ini), and the game is read there again.
void ChooseExecutableFolder(MainWindow& window);

// "Detect Executable Again" for the selected game: detection forced, as
// when the game was added. Its name is replaced only by a name detection
// gives; a Steam name stays.
void DetectExecutableAgain(MainWindow& window);

// The row menu, asked for with WM_CONTEXTMENU by the game list: at `screen`
// on the row there, or for the keyboard (-1, -1) below the selected row.
// Refused while a command or a job runs; while it is open nothing else gets
// through, and the entry chosen is then posted to the window as its command.
void OpenRowMenu(MainWindow& window, POINT screen);

}  // namespace zrcc
