// The one seam through which the program shows message boxes, folder
// pickers and popup menus. The product shows the real dialogs; tests install handlers that
// answer and record them instead of waiting for a person.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zrcc {

using MessageBoxHandler =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;

// Shows a message box (MessageBoxW) unless a handler is installed. UI thread
// only, as every dialog: a job hands what it has to say to the UI thread.
// Without an `owner` the default owner (the main window) owns it, while it
// is shown.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);
void SetDefaultDialogOwner(HWND window);
void SetMessageBoxHandler(MessageBoxHandler handler);  // empty: the real dialog again

// What a folder picker is asked for.
struct FolderPickerRequest {
  HWND owner = nullptr;
  std::wstring title;
  UINT flags = 0;
  std::wstring initialSelection;  // pre-selected folder; empty for none
};

// The picker's answer: nothing when cancelled; otherwise the chosen folder's
// path, which is empty when the chosen item has no file-system path.
using FolderPickerHandler = std::function<std::optional<std::wstring>(const FolderPickerRequest&)>;

std::optional<std::wstring> PickFolder(const FolderPickerRequest& request);
void SetFolderPickerHandler(FolderPickerHandler handler);

// One entry of a popup menu; command 0 is a separator.
struct MenuEntry {
  std::wstring text;
  int command = 0;
  bool enabled = true;
};

// Shows a popup menu owned by `owner` at `screen` (screen coordinates) and
// returns the command of the entry chosen, or 0 when none was. Its own
// message loop runs until it closes. UI thread only.
using PopupMenuHandler = std::function<int(HWND owner, POINT screen, const std::vector<MenuEntry>& entries)>;
int ChooseFromMenu(HWND owner, POINT screen, const std::vector<MenuEntry>& entries);
void SetPopupMenuHandler(PopupMenuHandler handler);

// Opens a folder in the platform's file manager (ShellExecuteW "explore").
// UI thread.
using ExploreHandler = std::function<void(const std::wstring& folder)>;
void ExploreFolder(const std::wstring& folder);
void SetExploreHandler(ExploreHandler handler);

}  // namespace zrcc
