#include "core/settings_rules.h"

#include <algorithm>
#include <cstdint>

namespace zrcc {

namespace {
bool IsColumn(int column) { return column >= 0 && column < kColumnCount; }
}  // namespace

int ColumnDefault(int column) {
  return IsColumn(column) ? kColumns[static_cast<size_t>(column)].defaultWidth : 0;
}

int ColumnCap(int column) {
  if (!IsColumn(column)) return 0;
  const ColumnSpec& spec = kColumns[static_cast<size_t>(column)];
  // Single precision on purpose: 71 × 1.2f is 85.2000..., 290 × 1.2f is
  // 348.00001..., so the truncated caps are 85 and 348.
  return static_cast<int>(static_cast<float>(spec.defaultWidth) * spec.capFactor);
}

int SettledColumnWidth(int column, int stored) {
  const int width = stored <= 0 ? ColumnDefault(column) : std::min(stored, ColumnCap(column));
  // The floor applies to the default too: "Game detected" defaults to 50,
  // narrower than any column may be.
  return std::max(width, kMinColumnWidth);
}

int ScaleToDpi(int logical, int dpi) { return MulDivRound(logical, dpi, 96); }

int ScaleFrom(int physical, int dpi) { return MulDivRound(physical, 96, dpi); }

int ColumnPixels(int column, int logical, int dpi) {
  const int pixels = ScaleToDpi(logical, dpi);
  return pixels > 0 ? pixels : ScaleToDpi(ColumnDefault(column), dpi);
}

int UsableDpi(int dpi) { return dpi > 0 ? dpi : 96; }

int LogicalWindowSize(int physical, int dpi) {
  const std::uint32_t product = static_cast<std::uint32_t>(physical) * 96u;
  return static_cast<int>(product / static_cast<std::uint32_t>(dpi));
}

}  // namespace zrcc
