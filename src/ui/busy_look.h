// While work runs (a background job, a script) every command is refused, so
// the buttons look it: disabled, and no tooltip pops up. Afterwards each
// button gets back the state it had, and the usual rules go on from there.
#pragma once

#include <windows.h>

#include <array>

#include "core/control_ids.h"

namespace zrcc {

class MainWindow;

// The buttons' states from before the window began to look busy.
class BusyLook {
 public:
  bool busy() const { return busy_; }
  // Remembers every button's state and disables them all; the focus, when a
  // button holds it, goes to the game list so that the keys keep working.
  // Again while already busy: nothing changes.
  void Enter(HWND window, HWND listView);
  // Gives every button the state it had; nothing when not busy.
  void Leave(HWND window);

 private:
  bool busy_ = false;
  std::array<bool, kAllButtons.size()> enabledBefore_{};
};

// The window looks busy (its tooltips off too), or idle again.
void LookBusy(MainWindow& window);
void LookIdle(MainWindow& window);

}  // namespace zrcc
