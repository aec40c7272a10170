// When the three deployment buttons may be pressed, and what their tooltips
// say, from what the selected row shows. Platform-free.
#pragma once

#include <string>

namespace zrcc {

// What the decision rests on: the selected row's "Status" and
// "ZandRivell ver." texts as the list shows them, and whether the package
// folder passed its check; and whether the row's game is out of reach
// because its drive or share is absent.
struct DeploymentFacts {
  bool rowSelected = false;
  std::wstring status;   // "Copied", "Installed" or anything else
  std::wstring version;  // empty when the game has no mod
  bool packageSet = false;
  bool driveAbsent = false;
};

struct DeploymentButtons {
  bool copy = false;
  bool install = false;
  bool uninstall = false;
};

// Copy when the game has no mod version and the package is set; Install
// when the row says "Copied" and the package is set; Uninstall when it says
// "Installed" and shows a version. Nothing without a selected row, nor for a
// game whose drive is absent (there is nothing to deploy into).
DeploymentButtons DecideDeploymentButtons(const DeploymentFacts& facts);

enum class DeploymentButton { Copy, Install, Uninstall };

// The tooltip of a deployment button: what it does when it can be pressed,
// otherwise what it needs first.
std::wstring DeploymentTip(DeploymentButton button, const DeploymentFacts& facts);

}  // namespace zrcc
