// "Update All Outdated": the words of its questions, asked once for the whole
// run, and of the one box that ends it. Platform-free; the facts come from
// the catalogue, the process list and Steam's manifests.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/update_rules.h"

namespace zrcc {

// Why a game of the run was left as it was before anything of it was touched.
enum class UpdateSkip {
  Running,             // a process runs from its folder (detail: the executable's path)
  AntiCheatDeclined,   // the user said No to updating games with anti-cheat
  SteamUpdateDeclined, // the user said No to updating games Steam is updating
  FolderGone,          // its folder is gone, or its drive or share is absent
};

struct SkippedUpdate {
  std::wstring title;
  UpdateSkip why = UpdateSkip::Running;
  std::wstring detail;
};

struct FailedUpdate {
  std::wstring title;
  std::wstring why;  // which step stopped and why, as a single Update says it
};

// What the run did, game by game.
struct UpdateAllTally {
  std::vector<std::wstring> updated;
  std::vector<SkippedUpdate> skipped;
  std::vector<FailedUpdate> failed;
};

// The question before the run, naming the games and the package's version.
std::wstring UpdateAllQuestion(const std::vector<std::wstring>& titles, const PackageFacts& package);
// The anti-cheat and Steam questions, once for every game concerned; empty
// when no game is.
std::wstring UpdateAllAntiCheatQuestion(const std::vector<std::wstring>& titles);
std::wstring UpdateAllSteamQuestion(const std::vector<std::wstring>& titles);

// The closing box: updated, skipped and why, failed and why.
std::wstring UpdateAllSummary(const UpdateAllTally& tally);

// The box's kind of message: all updated, or something to look at.
bool UpdateAllWentWell(const UpdateAllTally& tally);

}  // namespace zrcc
