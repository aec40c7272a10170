// The "Size" of a game: the bytes of every file below its folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace zrcc {

// Sum of the sizes the directory listings report for all files below
// `folder`, with or without a trailing backslash; 0 when it cannot be
// listed. Folders that are links are followed and their targets counted,
// but every folder only once, by its identity on the disk, however many
// links lead to it: a cycle of links ends, and a maze of links costs one
// visit per folder. Subfolders that cannot be listed add nothing; no file is
// opened. Paths of any length are walked. Once `stop` is set the walk ends
// before the next folder it would enter, and the sum is incomplete.
uint64_t MeasureFolderSize(const std::wstring& folder, const std::atomic<bool>* stop = nullptr);

// Called with a file's folder, spelt as the walk reached it (`folder` as
// given, then the subfolder names after single backslashes), and its name.
using PlainFileVisitor = std::function<void(const std::wstring& folder, const wchar_t* name)>;

// MeasureFolderSize and, in the same walk, a visit of every file reached
// through plain folders only, in depth-first listing order (a subfolder's
// files at the place of its entry). Entries that are links or junctions,
// files or folders, are not visited, nor is anything reached through them,
// although the size still counts what lies behind folder links. A folder
// reached again, through whatever path or link, is entered for neither. An
// empty `folder` gives 0 and no visit.
uint64_t MeasureFolderSizeVisiting(const std::wstring& folder, const PlainFileVisitor& visit,
                                   const std::atomic<bool>* stop = nullptr);

// Called with a subfolder's parent, spelt as for files, and its name.
using PlainFolderVisitor = std::function<void(const std::wstring& parent, const wchar_t* name)>;

// The same walk, and also a visit of every plain subfolder met where files
// are visited, at its entry, before anything inside it (whether or not it can
// be listed or was entered before): some facts lie in a folder's name alone.
uint64_t MeasureFolderSizeVisiting(const std::wstring& folder, const PlainFileVisitor& visitFile,
                                   const PlainFolderVisitor& visitFolder, const std::atomic<bool>* stop = nullptr);

}  // namespace zrcc
