// The processes running on the PC, and whether one of them runs from inside
// a game folder: a running game holds its executable and DLLs open, so a copy
// into it would fail half-way or replace files the game is using.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

struct RunningProcess {
  uint32_t id = 0;
  std::wstring imagePath;  // the executable's full path, as the system reports it
  bool operator==(const RunningProcess&) const = default;
};

// Every process of the PC whose executable's path can be asked for (a
// system process or one of another user's that refuses the question is
// passed over), this program's own process left out.
std::vector<RunningProcess> ListRunningProcesses();

// The seam: tests replace the list of processes; an empty function brings
// the system's back.
using ProcessLister = std::function<std::vector<RunningProcess>()>;
void SetProcessLister(ProcessLister lister);

// Whether the executable at `imagePath` lies inside `folder`, at any depth.
// Both are compared as Windows compares paths: letter case aside (by the
// system's own rule, beyond A to Z), either slash, repeated separators, "."
// and "..", and the long form ("\\?\", "\\?\UNC\") or its absence.
bool ImageLiesInFolder(std::wstring_view imagePath, std::wstring_view folder);

// A running process whose executable lies inside `folder` (through the
// seam), or nothing. The folder is compared as it is spelt and as it is
// once the system has resolved its links and short names, so that a game
// started through another spelling of its folder is found too.
std::optional<RunningProcess> FindProcessRunningFrom(const std::wstring& folder);

}  // namespace zrcc
