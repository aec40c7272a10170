// Background loading of the game list: data.ini is read into the catalogue
// on a thread of its own, every game is checked on disk, and rows appear one
// by one while the window stays responsive.
#pragma once

#include <windows.h>

namespace zrcc {

constexpr UINT kLoadStartedMessage = WM_APP + 1;   // posted when a load starts
constexpr UINT kLoadFinishedMessage = WM_APP + 2;  // posted when it has ended

// True from LaunchAsyncLoadData until the main window has handled the end of
// the load. Read and written on the UI thread only; while it is set the
// commands that touch the catalogue are not carried out.
extern bool isLoading;

// Starts a load unless one is running (then it does nothing and returns
// false). UI thread only.
bool LaunchAsyncLoadData();

// The load itself, as the loader thread runs it.
void LoadData();

// Whether a loader thread is still running (it may be past its last row and
// only about to post its end).
bool LoaderRunning();

// Asks a running load to stop after the game it is checking and waits for
// it, carrying out the messages the loader sends meanwhile (so the wait never
// deadlocks on the loader's SendMessageW). The catalogue then holds every
// game of data.ini, checked or not. UI thread only; returns at once when no
// load runs.
void StopLoadAndWait();

}  // namespace zrcc
