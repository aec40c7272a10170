// Putting the mod package into a game: one copy operation of the Windows
// shell, whose own dialogs show progress, ask before replacing files and
// report errors.
#pragma once

#include <windows.h>

#include <string>

namespace zrcc {

// Why a copy was refused before the shell was asked, in words for the user.
struct CopyRefusal {
  std::wstring path;    // the folder (or package entry) that stood in the way
  std::wstring reason;  // one sentence
};

// Copies every top-level entry of `packageFolder` except its "Licenses"
// folder into `targetFolder` (folders with all their contents), creating
// the target folder and its missing parents first. True when there was
// nothing to copy or the shell finished the whole copy; false when the
// package cannot be listed, some path the copy would read or write reaches
// the classic limit of 260 characters (nothing is made then), the target
// folder cannot be made, or the copy failed or was cancelled (what was
// copied before stays). The shell reports its own failures in its dialogs;
// the ones before it are described in `refusal` (when given), which stays
// empty otherwise. The shell's dialogs belong to `owner`.
bool CopyModPackage(const std::wstring& packageFolder, const std::wstring& targetFolder,
                    CopyRefusal* refusal = nullptr, HWND owner = nullptr);

// Makes `folder` and every missing parent (at any path length). Empty when
// it is a folder then, otherwise why not, in the system's words.
std::wstring MakeFolders(const std::wstring& folder);

}  // namespace zrcc
