// The habits every Windows program honours, for the main window: Tab and
// Shift+Tab through the controls, Del, Enter and F5, folders dropped from the
// file manager, tooltips that explain, and names a screen reader can read.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace zrcc {

class MainWindow;

// The tooltips of the buttons and the version fields.
class Tooltips {
 public:
  Tooltips() = default;
  Tooltips(const Tooltips&) = delete;
  Tooltips& operator=(const Tooltips&) = delete;
  // Made once with the controls; their places follow every layout.
  void Create(HWND window);
  void Place(HWND window) const;
  HWND handle() const { return tooltips_; }
  // The text a tooltip is handed must outlive the notification.
  std::wstring& text() { return text_; }

 private:
  HWND tooltips_ = nullptr;
  std::wstring text_;
};

// Looks at a message before it is dispatched: Tab moves the focus, the
// command keys run their commands (through the one command gate), Shift+F10
// and the context-menu key open the selected row's menu, and mouse messages
// reach the tooltips. True when the message has been used up.
bool PreTranslateWindowMessage(MSG& message);

// PreTranslateWindowMessage, then translated and dispatched as usual: what
// every message loop of the UI thread does with a message.
void DispatchWindowMessage(MSG& message);

// Answers the tooltips' request for a text; false for other notifications.
bool HandleTooltipNotification(MainWindow& window, NMHDR* notification);
// Switches the tooltips off while a command or other work runs, so that no
// tip pops up over a dialog the command opened, and on again afterwards.
void SetTooltipsActive(MainWindow& window, bool active);

// Folders dropped on the window are added one after another, as if each had
// been picked with "Add Dir"; files are passed over. Frees the drop.
void HandleDroppedFiles(MainWindow& window, HDROP drop);

// Gives the controls whose text is no name (the package path field, the game
// list) a name for screen readers.
void NameControlsForScreenReaders(MainWindow& window);

}  // namespace zrcc
