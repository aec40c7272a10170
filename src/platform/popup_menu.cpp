#include "platform/popup_menu.h"

#include <utility>

namespace zrcc {

namespace {

PopupMenuHandler gPopupMenuHandler;  // UI thread only, as the menus are

// A menu destroyed on every way out.
class UniqueMenu {
 public:
  UniqueMenu() : menu_(CreatePopupMenu()) {}
  UniqueMenu(const UniqueMenu&) = delete;
  UniqueMenu& operator=(const UniqueMenu&) = delete;
  ~UniqueMenu() {
    if (menu_) DestroyMenu(menu_);
  }
  HMENU get() const { return menu_; }

 private:
  HMENU menu_;
};

}  // namespace

int ChooseFromPopupMenu(const PopupMenuRequest& request) {
  if (gPopupMenuHandler) return gPopupMenuHandler(request);
  const UniqueMenu menu;
  if (!menu.get()) return 0;
  for (const MenuItem& item : request.items) {
    AppendMenuW(menu.get(), MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), static_cast<UINT_PTR>(item.id),
                item.text.c_str());
  }
  // The chosen id comes back here rather than as a WM_COMMAND, so the caller
  // carries it out inside the command it is already running.
  return static_cast<int>(TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN |
                                                           TPM_RIGHTBUTTON,
                                           request.at.x, request.at.y, request.owner, nullptr));
}

void SetPopupMenuHandler(PopupMenuHandler handler) { gPopupMenuHandler = std::move(handler); }

}  // namespace zrcc
