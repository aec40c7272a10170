// Popup menus of the main window, through a seam like the dialogs': the
// product shows the real menu, tests install a handler that picks an item.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zrcc {

struct MenuItem {
  int id = 0;
  std::wstring text;
  bool enabled = true;
};

struct PopupMenuRequest {
  HWND owner = nullptr;
  POINT at{};  // screen position of the menu's top left corner
  std::vector<MenuItem> items;
};

// Shows the menu and waits (in the menu's own message loop) until the user
// picks an item or dismisses it: the item's id, or 0. UI thread only.
int ChooseFromPopupMenu(const PopupMenuRequest& request);

using PopupMenuHandler = std::function<int(const PopupMenuRequest&)>;
void SetPopupMenuHandler(PopupMenuHandler handler);  // empty: the real menu again

}  // namespace zrcc
