// The UI thread: the one thread that owns the catalogue, the rows, the
// window, the package's state and the saves (core/owner_thread.h), and the
// way other threads hand it work: posted, never waited for.
#pragma once

#include <functional>

namespace zrcc {

// Makes the calling thread the UI thread (the owner of the shared state) and
// makes what PostToUiThread needs there. Called by the main window's
// creation and by the programs' entry points; again from the same thread it
// changes nothing.
void BindUiThread();

// Whether the calling thread is the UI thread; false until one is bound.
bool OnUiThread();

// Hands `task` to the UI thread, which runs it after everything handed to it
// before, never inside another such task (a task that opens a box lets the
// window paint and answer meanwhile, and the tasks that arrive then wait for
// it). From any thread; never waits. Nothing runs when no UI thread is bound
// or its message loop has ended.
void PostToUiThread(std::function<void()> task);

}  // namespace zrcc
