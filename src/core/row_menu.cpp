#include "core/row_menu.h"

#include <array>

#include "core/control_ids.h"

namespace zrcc {

namespace {

bool RowSelected(const RowMenuFacts& facts) { return facts.deployment.rowSelected; }
// The executable folder can be chosen or detected only on a drive that is there.
bool RowOnDisk(const RowMenuFacts& facts) { return RowSelected(facts) && !facts.deployment.driveAbsent; }
bool CanCopy(const RowMenuFacts& facts) { return DecideDeploymentButtons(facts.deployment).copy; }
bool CanInstall(const RowMenuFacts& facts) { return DecideDeploymentButtons(facts.deployment).install; }
bool CanUninstall(const RowMenuFacts& facts) { return DecideDeploymentButtons(facts.deployment).uninstall; }
bool CanUpdate(const RowMenuFacts& facts) { return !facts.deployment.driveAbsent && UpdateEnabled(facts.lifecycle); }
bool CanUndoCopy(const RowMenuFacts& facts) { return !facts.deployment.driveAbsent && UndoCopyEnabled(facts.lifecycle); }

constexpr std::array<RowMenuEntry, 12> kRowMenu = {{
    {L"Open Dir", kIdOpenButton, RowSelected},
    {nullptr, 0, nullptr},
    {L"Copy Zandrivell", kIdCopyButton, CanCopy},
    {L"Install Zandrivell", kIdInstallButton, CanInstall},
    {L"Uninstall Zandrivell", kIdUninstallButton, CanUninstall},
    {L"Update Zandrivell", kIdUpdateCommand, CanUpdate},
    {L"Undo Copy", kIdUndoCopyCommand, CanUndoCopy},
    {nullptr, 0, nullptr},
    {L"Choose Executable Folder...", kIdChooseExeFolder, RowOnDisk},
    {L"Detect Executable Again", kIdDetectExeAgain, RowOnDisk},
    {nullptr, 0, nullptr},
    {L"Del Dir", kIdDeleteButton, RowSelected},
}};

}  // namespace

std::span<const RowMenuEntry> RowMenuEntries() { return kRowMenu; }

}  // namespace zrcc
