// Start-up of the program: the single-instance guard, the window, the saved
// settings, the first load and the message loop.
#pragma once

#include <windows.h>

namespace zrcc {

constexpr wchar_t kSingleInstanceMutexName[] = L"ZandRivellCC_SingleInstance";

// What a second start does: brings the running copy's window to the front,
// unless that window is hidden because it is closing. Only a window this
// program made counts, whatever else bears its class name.
void ActivateRunningCopy();

// Runs the program; returns the process exit code (0, or -1 when the main
// window cannot be created).
int RunApplication(HINSTANCE instance, int showCommand);

}  // namespace zrcc
