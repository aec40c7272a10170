#include "platform/dialogs.h"

#include <shellapi.h>
#include <shlobj.h>

#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "core/owner_thread.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {
// Handlers are installed by tests before the code under test runs, and read
// by the UI thread, which alone shows dialogs; the lock keeps a test's own
// threads safe too.
std::mutex gSeamMutex;
HWND gDefaultOwner = nullptr;  // the UI thread's
MessageBoxHandler gMessageBoxHandler;
FolderPickerHandler gFolderPickerHandler;
PopupMenuHandler gPopupMenuHandler;
ExploreHandler gExploreHandler;

int CALLBACK PreselectCallback(HWND window, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) {
    SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  }
  return 0;
}

std::optional<std::wstring> ShowRealFolderPicker(const FolderPickerRequest& request) {
  BROWSEINFOW info{};
  info.hwndOwner = request.owner;
  info.lpszTitle = request.title.c_str();
  info.ulFlags = request.flags;
  if (!request.initialSelection.empty()) {
    info.lpfn = PreselectCallback;
    info.lParam = reinterpret_cast<LPARAM>(request.initialSelection.c_str());
  }
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
  if (!item) return std::nullopt;
  // A path may be longer than the classic 260 characters: try a large
  // buffer when the classic one does not hold it.
  std::wstring path;
  for (DWORD size : {static_cast<DWORD>(MAX_PATH), static_cast<DWORD>(32768)}) {
    std::vector<wchar_t> buffer(size, L'\0');
    if (SHGetPathFromIDListEx(item, buffer.data(), size, GPFIDL_DEFAULT)) {
      path = buffer.data();
      break;
    }
  }
  CoTaskMemFree(item);
  return path;
}

int ShowRealPopupMenu(HWND owner, POINT screen, const std::vector<MenuEntry>& entries) {
  const MenuHandle menu(CreatePopupMenu());
  if (!menu) return 0;
  for (const MenuEntry& entry : entries) {
    if (entry.command == 0) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu.get(), MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED),
                  static_cast<UINT_PTR>(entry.command), entry.text.c_str());
    }
  }
  // The choice is returned rather than posted, so the caller decides how it
  // reaches the commands.
  return static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN |
                                                         TPM_TOPALIGN,
                                         screen.x, screen.y, 0, owner, nullptr));
}
}  // namespace

void SetDefaultDialogOwner(HWND window) {
  CheckOwnerThread();
  gDefaultOwner = window;
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  CheckOwnerThread();
  // Owned by the main window, so that the window takes no input while the
  // box is open. A window being destroyed (already hidden then) owns nothing.
  if (!owner && gDefaultOwner && IsWindow(gDefaultOwner) && IsWindowVisible(gDefaultOwner)) owner = gDefaultOwner;
  MessageBoxHandler handler;
  {
    std::lock_guard<std::mutex> lock(gSeamMutex);
    handler = gMessageBoxHandler;
  }
  if (handler) return handler(owner, text, caption, type);
  return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard<std::mutex> lock(gSeamMutex);
  gMessageBoxHandler = std::move(handler);
}

std::optional<std::wstring> PickFolder(const FolderPickerRequest& request) {
  CheckOwnerThread();
  FolderPickerHandler handler;
  {
    std::lock_guard<std::mutex> lock(gSeamMutex);
    handler = gFolderPickerHandler;
  }
  if (handler) return handler(request);
  return ShowRealFolderPicker(request);
}

void SetFolderPickerHandler(FolderPickerHandler handler) {
  std::lock_guard<std::mutex> lock(gSeamMutex);
  gFolderPickerHandler = std::move(handler);
}

int ChooseFromMenu(HWND owner, POINT screen, const std::vector<MenuEntry>& entries) {
  CheckOwnerThread();
  PopupMenuHandler handler;
  {
    std::lock_guard<std::mutex> lock(gSeamMutex);
    handler = gPopupMenuHandler;
  }
  if (handler) return handler(owner, screen, entries);
  return ShowRealPopupMenu(owner, screen, entries);
}

void SetPopupMenuHandler(PopupMenuHandler handler) {
  std::lock_guard<std::mutex> lock(gSeamMutex);
  gPopupMenuHandler = std::move(handler);
}

void ExploreFolder(const std::wstring& folder) {
  ExploreHandler handler;
  {
    std::lock_guard<std::mutex> lock(gSeamMutex);
    handler = gExploreHandler;
  }
  if (handler) return handler(folder);
  ShellExecuteW(nullptr, L"explore", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void SetExploreHandler(ExploreHandler handler) {
  std::lock_guard<std::mutex> lock(gSeamMutex);
  gExploreHandler = std::move(handler);
}

}  // namespace zrcc
