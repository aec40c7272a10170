// "Find Games on This PC": every game the launchers of this PC know, added in
// one step, with the launcher's own executable where it names one, and one
// summary at the end instead of a box per game.
#pragma once

#include <windows.h>

#include <atomic>

#include "core/catalogue.h"
#include "core/found_games.h"
#include "discovery/folder_intake.h"
#include "discovery/launchers.h"
#include "platform/background_job.h"

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

// What the window does for a search besides the catalogue and the rows: the
// progress and the one summary box at the end. UI thread.
class FindSink {
 public:
  virtual ~FindSink() = default;
  // Whose list is read now ("Searching Steam libraries...").
  virtual void Searching(GameSource source) = 0;
  // "Adding 12 of 37...".
  virtual void Adding(size_t adding, size_t total) = 0;
  // How many were found, added, already listed or without an executable,
  // and what was skipped.
  virtual void Found(const FindTally& tally, const std::vector<FindSkip>& skipped) = 0;
  // Games were added: the list is saved at once.
  virtual void SaveAdded() = 0;
};

// The summary's line for a found game whose folder was gone by the time it
// was read.
FindSkip VanishedGameSkip(const FoundGame& found);

// Searches the launchers and adds every game not in `listed` yet, rows at the
// end of `listView` (FindSink::Adding), then hands over one summary: how many
// were found, added, already listed or without an executable (those are not
// added), and what was skipped. As a job runs it; after a stop nothing more
// is added or shown. True when a game was added.
bool FindGamesOnThisPc(const JobContext& job, HWND listView, FindSink& sink, const ListedFolders& listed);

// FindGamesOnThisPc as the one background job; when a game was added, the
// list is saved (FindSink::SaveAdded) before the job ends. False when a job
// is already running. UI thread only; `sink` must live until it ends.
bool LaunchAsyncFindGames(HWND listView, FindSink& sink);

}  // namespace zrcc
