// Running the package's setup and removal scripts in a game folder, each in a
// console window of its own, and waiting until the script has ended.
#pragma once

namespace zrcc {

// Run "setup_windows.bat" / "Remove Zandrivell.bat" found in `gameFolder`
// with that folder as the current directory. True when the script was
// started and has ended (its exit code is not looked at); false, after an
// error box, when the script is missing or the interpreter cannot start;
// false at once for a null folder.
bool RunSetupScript(const wchar_t* gameFolder);
bool RunRemovalScript(const wchar_t* gameFolder);

}  // namespace zrcc
