// The "Size" column's text for a byte count.
#pragma once

#include <cstdint>
#include <string>

namespace zrcc {

// Binary units with the familiar names: "N GB" from 2^30 bytes, "N MB" from
// 2^20, "N KB" from 2^10, otherwise "N B". The unit is chosen before the
// number is rounded to a whole one, so 1048575 bytes read "1024 KB".
std::wstring FormatSizeText(uint64_t bytes);

}  // namespace zrcc
