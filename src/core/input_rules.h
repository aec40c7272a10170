// The keyboard habits of the main window: which control Tab moves to and
// which keys stand for which command. Platform-free.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// The control after `current` in tab order (or before it, `backwards`),
// passing over controls that cannot take the focus (disabled or hidden) and
// wrapping around at either end. With no current control in the order, Tab
// starts at the first usable one and Shift+Tab at the last. Nothing when no
// control is usable.
std::optional<size_t> NextTabStop(const std::vector<bool>& usable, std::optional<size_t> current, bool backwards);

// Keys the window answers itself.
enum class WindowKey { Delete, Enter, F5, Other };

// Where the keyboard focus is when the key is pressed.
enum class FocusOn { GameList, Button, Elsewhere };

// The command identifier a key stands for, or 0 for none: F5 anywhere is
// "Refresh List"; in the game list Del is "Del Dir" and Enter "Open Dir"; on
// a button Enter presses that button (`focusedButton`).
int KeyCommand(WindowKey key, FocusOn focus, int focusedButton);

// The row that letters typed into the game list select: the first row from
// `start` on whose text begins with `typed` (is `typed`, unless `partial`),
// letters compared without case, going round to the top when `wrap`. The
// list asks this of its owner because it holds no texts of its own.
std::optional<size_t> FindTypedRow(size_t count, size_t start, std::wstring_view typed, bool partial, bool wrap,
                                   const std::function<std::wstring(size_t)>& textOf);

}  // namespace zrcc
