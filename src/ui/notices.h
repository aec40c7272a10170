// What the lower layers report as facts, said to the user: the boxes of the
// list file, of Add Dir and the search of the PC, of detection and of the
// scripts. UI thread; every box goes through the dialog seam.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/found_games.h"
#include "core/exe_match.h"
#include "deploy/scripts.h"
#include "discovery/folder_intake.h"
#include "helpers/data_file.h"

namespace zrcc {

// "The folder <name> contains no executable!" (caption "No executable found").
void WarnNoExecutable(const std::wstring& gamePath);

// Detection for the game at `game.path`, warning first when the folder holds
// no executable at all; executables of which none is recognised give nothing
// silently.
std::optional<ExecutableCandidate> FindGameExecutable(const Game& game);

// The scripts, with an "Error" box when one went wrong (the result is whether
// it ran; a script that ended with an error is reported and counts as run).
bool RunSetupScript(const ScriptFolders& folders, const ScriptWait& wait = {});
bool RunRemovalScript(const ScriptFolders& folders, const ScriptWait& wait = {});
// The same with the game folder alone; null gives false at once.
bool RunSetupScript(const wchar_t* gameFolder);
bool RunRemovalScript(const wchar_t* gameFolder);

// The list could not be read, so it starts empty: the file, the reason, and
// where it will be kept should a list be saved over it.
void ReportUnreadableList(const ListFileRead& read);

// Saves the catalogue to data.ini; a save that failed is said, with the file
// and the reason, and the file is as it was. Whether the list is in the file.
bool SaveData();

// Reads data.ini as a load reads it, remembering what it met for the next
// save and saying what could not be read; false (and no text) when there is
// no list.
bool ReadDataFileText(std::wstring& text);

// Why a picked folder added nothing, as the "Duplicate" and "No games found"
// boxes say it.
void ReportAddRefusal(const AddNotice& notice);

// The one summary box of "Find Games on This PC".
void ReportFoundGames(const FindTally& tally, const std::vector<FindSkip>& skipped);

}  // namespace zrcc
