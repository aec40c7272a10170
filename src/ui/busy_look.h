// While work runs (a background job, a script) every command is refused, so
// the buttons look it: disabled, and no tooltip pops up. Afterwards each
// button gets back the state it had, and the usual rules go on from there.
#pragma once

namespace zrcc {

// Remembers every button's state and disables them all; the focus, when a
// button holds it, goes to the game list so that the keys keep working.
// Again while already busy: nothing changes.
void LookBusy();
// Gives every button the state it had before LookBusy; nothing when the
// window does not look busy.
void LookIdle();

}  // namespace zrcc
