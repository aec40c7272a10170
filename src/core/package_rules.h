// Which entries of the mod package go into a game, and the list form the
// Windows shell's copy operation takes. Pure text work: nothing here touches
// the disk.
#pragma once

#include <string>
#include <vector>

namespace zrcc {

// One top-level entry of the package folder as the listing reports it.
struct PackageEntry {
  std::wstring name;
  bool isDirectory = false;
};

// The names to copy, in listing order: everything except "." and ".." and a
// folder named exactly "Licenses" (the package's own licence texts stay with
// the package). A file called "Licenses", or a folder whose name differs only
// in letter case, is part of the mod and is copied.
std::vector<std::wstring> PackageEntriesToCopy(const std::vector<PackageEntry>& entries);

// Package folder + "\" + name for each name. The folder is used as given, the
// same way its listing pattern is formed.
std::vector<std::wstring> PackageSourcePaths(const std::wstring& packageFolder,
                                             const std::vector<std::wstring>& names);

// The shell's list format: every item followed by a NUL, and one more NUL
// after the last. The result's size() counts all of them.
std::wstring DoubleNulList(const std::vector<std::wstring>& items);

}  // namespace zrcc
