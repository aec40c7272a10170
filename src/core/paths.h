// Path text rules shared by the units that touch the disk. Pure string work:
// nothing here asks the file system.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// From this length on, plain paths are cut by most file calls.
inline constexpr size_t kClassicPathLimit = 260;
// CreateDirectoryW refuses plain paths from this length on: it keeps room
// for an 8.3 file name inside the folder it makes.
inline constexpr size_t kNewFolderPathLimit = 248;

bool EndsWithSeparator(std::wstring_view path);  // "\" or "/"

// The names between separators ("\" or "/"), empty ones and "." left out;
// ".." kept as it stands. Views into `path`.
std::vector<std::wstring_view> PathComponents(std::wstring_view path);

// `base`, one backslash, `name`; no backslash added when `base` is empty or
// already ends with a separator.
std::wstring JoinPath(std::wstring_view base, std::wstring_view name);

// The part after the last "\" or "/" (the whole text when there is none);
// empty for a path ending in a separator, such as a drive root.
std::wstring LastComponent(std::wstring_view path);

// Whether a plain path ending in this name leads to a device rather than to
// a file: CON, PRN, AUX, NUL, COM0-9, LPT0-9 (also with the superscript
// digits 1-3), CONIN$ and CONOUT$, in any letter case, with or without an
// extension or trailing blanks ("nul.txt", "COM1.exe", "aux .dll"). Game
// folders may hold such files; only the long form reaches them as files.
bool IsDeviceName(std::wstring_view name);

// The form to hand to the file API. An absolute path (D:\... or
// \\server\share\...) gets the "\\?\" (or "\\?\UNC\") prefix when it is
// `limit` characters or longer, or when its last component is a device name,
// so that it is neither cut at the classic limit nor taken for a device. The
// long form is taken literally by the system, so it is given the meaning the
// plain path had: forward slashes become backslashes, repeated separators and
// "." components go, ".." removes the component before it (never the root).
// Other paths come back unchanged.
std::wstring ExtendedLengthPath(std::wstring_view path, size_t limit = kClassicPathLimit);

// The plain spelling of a path given in the long form ("\\?\D:\x" gives
// D:\x, "\\?\UNC\server\share" gives \\server\share); others unchanged.
std::wstring PlainPath(std::wstring_view path);

// A folder as a message names it: the plain spelling, without the trailing
// separator a joined path may carry ("D:\Games\Halcyon\" gives
// D:\Games\Halcyon), a drive root keeping its own ("D:\").
std::wstring FolderForDisplay(std::wstring_view path);

// A folder on a network share: \\server\share\... or its long form
// \\?\UNC\server\share\... (either slash). Drive paths, in the long form or
// not, and device paths (\\.\...) are not.
bool IsNetworkPath(std::wstring_view path);

// Where `folder` lies below `base`: the names of the folders between,
// joined by backslashes in `folder`'s spelling ("bin\x64"); empty for
// `base` itself; nothing when it lies elsewhere or either is no absolute
// path. Letter case, forward slashes, repeated or trailing separators, "."
// and ".." and the long-path prefix do not matter.
std::optional<std::wstring> FolderBelow(std::wstring_view base, std::wstring_view folder);

}  // namespace zrcc
