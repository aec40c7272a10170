// The main window's opening geometry from settings.ini and the monitor it
// will open on. Called once, before the main window is created.
#pragma once

#include "core/window_geometry.h"

namespace zrcc {

// Reads the six "Window" keys, looks up the monitor nearest to the saved
// position (or to (0,0) without one), its work area and effective DPI, and
// computes the geometry. Never fails: missing values have fallbacks. x and y
// may be kPositionMarker, which window creation takes as CW_USEDEFAULT.
// `settingsUnreadable`, when given, tells whether settings.ini was there but
// could not be read (the geometry is then the fallback's).
WindowGeometry LoadWindowGeometry(bool* settingsUnreadable = nullptr);

}  // namespace zrcc
