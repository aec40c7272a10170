// The one seam through which the program shows message boxes and folder
// pickers. The product shows the real dialogs; tests install handlers that
// answer and record them instead of waiting for a person.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace zrcc {

using MessageBoxHandler =
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)>;

// Shows a message box (MessageBoxW) unless a handler is installed. Safe on
// any thread: the box is always shown on the UI thread. Without an `owner`
// the main window owns it, while it is shown.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);
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

// Opens a folder in the platform's file manager (ShellExecuteW "explore").
using ExploreHandler = std::function<void(const std::wstring& folder)>;
void ExploreFolder(const std::wstring& folder);
void SetExploreHandler(ExploreHandler handler);

}  // namespace zrcc
