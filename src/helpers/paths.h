// Path text rules shared by the units that touch the disk. Pure string work:
// nothing here asks the file system.
#pragma once

#include <string>
#include <string_view>

namespace zrcc {

bool EndsWithSeparator(std::wstring_view path);  // "\" or "/"

// `base`, one backslash, `name`; no backslash added when `base` is empty or
// already ends with a separator.
std::wstring JoinPath(std::wstring_view base, std::wstring_view name);

// The part after the last "\" or "/" (the whole text when there is none);
// empty for a path ending in a separator, such as a drive root.
std::wstring LastComponent(std::wstring_view path);

// The form to hand to the file API: paths of 260 characters or more that are
// absolute (D:\... or \\server\share\...) get the "\\?\" (or "\\?\UNC\")
// prefix, with forward slashes turned into backslashes, so they are not cut
// at the classic limit. Shorter or relative paths come back unchanged.
std::wstring ExtendedLengthPath(std::wstring_view path);

// A folder on a network share: \\server\share\... or its long form
// \\?\UNC\server\share\... (either slash). Drive paths, in the long form or
// not, and device paths (\\.\...) are not.
bool IsNetworkPath(std::wstring_view path);

}  // namespace zrcc
