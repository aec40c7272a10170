#include "core/size_text.h"

namespace zrcc {

namespace {

// bytes / 2^shift rounded to the nearest whole number, halves up. Done in
// integers rather than with "%.0f" because the C runtimes disagree on exact
// halves (msvcrt rounds them away from zero, glibc and the UCRT to even); the
// column then reads the same on every build, and counts beyond 2^53 bytes
// lose nothing to a double.
uint64_t RoundedUnits(uint64_t bytes, unsigned shift) {
  return (bytes >> shift) + ((bytes >> (shift - 1)) & 1u);
}

}  // namespace

std::wstring FormatSizeText(uint64_t bytes) {
  constexpr uint64_t kKiB = uint64_t{1} << 10;
  constexpr uint64_t kMiB = uint64_t{1} << 20;
  constexpr uint64_t kGiB = uint64_t{1} << 30;
  if (bytes >= kGiB) return std::to_wstring(RoundedUnits(bytes, 30)) + L" GB";
  if (bytes >= kMiB) return std::to_wstring(RoundedUnits(bytes, 20)) + L" MB";
  if (bytes >= kKiB) return std::to_wstring(RoundedUnits(bytes, 10)) + L" KB";
  return std::to_wstring(bytes) + L" B";
}

}  // namespace zrcc
