#include "core/button_rules.h"

namespace zrcc {

DeploymentButtons DecideDeploymentButtons(const DeploymentFacts& facts) {
  if (!facts.rowSelected || facts.driveAbsent) return {};
  const bool copied = facts.status == L"Copied";
  const bool installed = facts.status == L"Installed";
  const bool versionEmpty = facts.version.empty();
  return {versionEmpty && facts.packageSet, copied && facts.packageSet, installed && !versionEmpty};
}

std::wstring DeploymentTip(DeploymentButton button, const DeploymentFacts& facts) {
  const DeploymentButtons enabled = DecideDeploymentButtons(facts);
  if (facts.rowSelected && facts.driveAbsent) return L"The drive of this game is not present";
  switch (button) {
    case DeploymentButton::Copy:
      if (enabled.copy) return L"Copy the ZandRivell package into the selected game's executable folder";
      if (!facts.rowSelected) return L"Select a game first";
      if (!facts.packageSet) return L"Set the ZandRivell package folder first";
      return L"ZandRivell is already in this game";
    case DeploymentButton::Install:
      if (enabled.install) return L"Run the package's setup script (setup_windows.bat) for the selected game";
      if (!facts.rowSelected) return L"Select a game first";
      if (!facts.packageSet) return L"Set the ZandRivell package folder first";
      return L"Copy the package into this game first";
    case DeploymentButton::Uninstall:
      if (enabled.uninstall) return L"Run the package's removal script (Remove Zandrivell.bat) for the selected game";
      if (!facts.rowSelected) return L"Select a game first";
      return L"ZandRivell is not installed in this game";
  }
  return {};
}

}  // namespace zrcc
