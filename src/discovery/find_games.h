// "Find Games on This PC": every game the launchers of this PC know, added in
// one step, with the launcher's own executable where it names one, and one
// summary at the end instead of a box per game.
#pragma once

#include <windows.h>

#include <atomic>

#include "core/catalogue.h"
#include "discovery/launchers.h"

namespace zrcc {

// RefreshGameQuietly with detection forced, for a game a launcher found
// (`game.path` is `found.path`). Where the launcher names an executable that
// the walk meets below the folder, that executable is the choice (the real
// game behind a packaged Unreal game's bootstrap launcher, as for any
// choice); otherwise detection chooses as for "Add Dir". The launcher's name
// then replaces detection's (Steam's always, as "Add Dir" does; the others'
// where they give one).
bool RefreshFoundGame(const FoundGame& found, Game& game, bool& noExecutable,
                      const std::atomic<bool>* stop = nullptr);

// The summary's line for a found game whose folder was gone by the time it
// was read.
FindSkip VanishedGameSkip(const FoundGame& found);

// Searches the launchers and adds every game not in the list yet, rows at the
// end ("Adding 12 of 37..."), then shows one summary box: how many were
// found, added, already listed or without an executable (those are not
// added), and what was skipped. Runs on a job thread (LaunchAsyncFindGames);
// after a stop nothing more is added or shown. True when a game was added.
bool FindGamesOnThisPc(HWND listView);

// FindGamesOnThisPc as the one background job, into the main window's list;
// when a game was added, data.ini is saved before the job ends. False when a
// job is already running. UI thread only.
bool LaunchAsyncFindGames();

}  // namespace zrcc
