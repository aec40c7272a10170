// settings.ini, the user-interface state kept between runs: the game list's
// column widths, the mod package folder and the main window's restored
// position and size. Read once after the main window exists, written once
// when it is destroyed; UI thread only.
#pragma once

#include <string>

#include "core/settings_keys.h"
#include "platform/app_state.h"

namespace zrcc {

// A key's value as settings.ini holds it, or what a missing key reads as
// (kSettingKeys).
int ReadIntegerSetting(const SettingKey& key);
std::wstring ReadTextSetting(const SettingKey& key);

// Notes (in SettingsUnreadable) a settings.ini that is there but cannot be
// read now, so that SaveSettings leaves it alone. Called before each reading
// at start.
void CheckSettingsReadable();

// Sets the list view's column widths from the "UI" section and checks the
// saved package folder: when accepted, the path field shows it and
// ModFolderSet is true. Needs gListView and gPathField.
void LoadSettings();

// Writes the column widths (in 96-DPI units), the package folder and the
// main window's restored rectangle; nothing when the file could not be read
// at start. Needs gMainWindow and gListView.
void SaveSettings();

}  // namespace zrcc
