// Telling a game whose drive or network share is absent (a removable drive
// unplugged, a share that is down) from a game whose folder is gone from a
// drive that is there. Platform-free: the disk is asked by the caller
// (platform/disk.h), which hands the answers to DecideFolderPresence.
#pragma once

#include <string>
#include <string_view>

namespace zrcc {

// The root of the volume a path lies on, in a form the file API accepts:
// "D:\" for D:\Games\X and \\?\D:\Games\X, "\\server\share\" for
// \\server\share\X and \\?\UNC\server\share\X, "\\?\Volume{...}\" for a
// volume named by its GUID; either slash. Empty when the path names no
// volume (relative, a device, a server without a share).
std::wstring VolumeRoot(std::wstring_view path);

// Whether `path` is the root of its volume itself (a drive, a share, a
// volume GUID), in any spelling: such a folder holds a whole drive, never one
// game, and the mod must never be copied into it.
bool IsVolumeRoot(std::wstring_view path);

enum class FolderPresence {
  Present,      // the folder is there
  Gone,         // the folder is not, on a volume that is: the game was removed
  DriveAbsent,  // the volume itself is not there: the game is only out of reach
};

// `folderExists`: the folder is there; `rootKnown`: its path names a volume
// (VolumeRoot is not empty); `rootExists`: that volume's root is there. A
// missing folder whose volume cannot be told is taken as gone.
FolderPresence DecideFolderPresence(bool folderExists, bool rootKnown, bool rootExists);

// The line a game's row tooltip gives while its drive or share is absent.
std::wstring AbsentDriveTip(std::wstring_view path);

}  // namespace zrcc
