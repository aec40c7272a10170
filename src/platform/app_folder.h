// Where the program keeps its two files: the folder of its own executable.
#pragma once

#include <string>

namespace zrcc {

// The folder of the running executable, without a trailing backslash; not
// limited to 260 characters. Tests may point it elsewhere.
std::wstring AppFolder();
void SetAppFolderForTesting(const std::wstring& folder);  // empty: the real one

// AppFolder joined with `fileName`, in the form the file API accepts even
// beyond 260 characters.
std::wstring AppFilePath(const std::wstring& fileName);

}  // namespace zrcc
