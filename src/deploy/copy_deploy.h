// Putting the mod package into a game: one copy operation of the Windows
// shell, whose own dialogs show progress, ask before replacing files and
// report errors.
#pragma once

#include <string>

namespace zrcc {

// Copies every top-level entry of `packageFolder` except its "Licenses"
// folder into `targetFolder` (folders with all their contents), creating
// the target folder and its missing parents first. True when there was
// nothing to copy or the shell finished the whole copy; false when the
// package cannot be listed, the target folder cannot be made, or the copy
// failed or was cancelled (what was copied before stays).
bool CopyModPackage(const std::wstring& packageFolder, const std::wstring& targetFolder);

}  // namespace zrcc
