#include "core/input_rules.h"

#include "core/control_ids.h"
#include "core/text.h"

namespace zrcc {

std::optional<size_t> NextTabStop(const std::vector<bool>& usable, std::optional<size_t> current, bool backwards) {
  const size_t count = usable.size();
  if (count == 0) return std::nullopt;
  // Start one step before the first (or after the last) when nothing in the
  // order has the focus, so that the first step lands on the end itself.
  size_t at = current && *current < count ? *current : (backwards ? 0 : count - 1);
  for (size_t step = 0; step < count; ++step) {
    at = backwards ? (at + count - 1) % count : (at + 1) % count;
    if (usable[at]) return at;
  }
  return std::nullopt;
}

int KeyCommand(WindowKey key, FocusOn focus, int focusedButton) {
  switch (key) {
    case WindowKey::F5: return kIdRefreshButton;
    case WindowKey::Delete: return focus == FocusOn::GameList ? kIdDeleteButton : 0;
    case WindowKey::Enter:
      if (focus == FocusOn::GameList) return kIdOpenButton;
      return focus == FocusOn::Button ? focusedButton : 0;
    case WindowKey::Other: return 0;
  }
  return 0;
}

std::optional<size_t> FindTypedRow(size_t count, size_t start, std::wstring_view typed, bool partial, bool wrap,
                                   const std::function<std::wstring(size_t)>& textOf) {
  if (start >= count) {
    if (!wrap) return std::nullopt;
    start = 0;
  }
  const std::wstring wanted = LowerKey(typed);
  const size_t rows = wrap ? count : count - start;
  for (size_t step = 0; step < rows; ++step) {
    const size_t row = (start + step) % count;
    const std::wstring text = textOf(row);
    const std::wstring_view compared =
        partial ? std::wstring_view(text).substr(0, wanted.size()) : std::wstring_view(text);
    if (compared.size() == wanted.size() && LowerKey(compared) == wanted) return row;
  }
  return std::nullopt;
}

}  // namespace zrcc
