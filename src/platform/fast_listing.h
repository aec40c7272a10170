// Opening a directory listing the quick way: without the short 8.3 names
// nobody here reads, and fetching entries in large batches.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "core/paths.h"

namespace zrcc {

// FindFirstFileW's contract (INVALID_HANDLE_VALUE when the listing cannot
// start; continue with FindNextFileW, end with FindClose), for `pattern`
// handed over through ExtendedLengthPath. cAlternateFileName stays empty.
inline HANDLE OpenFastListing(const std::wstring& pattern, WIN32_FIND_DATAW& first) {
  // Systems before Windows 7 refuse the basic level and the large fetch as
  // invalid parameters; once refused, the plain listing is used from then on.
  static std::atomic<bool> plainOnly{false};
  const std::wstring path = ExtendedLengthPath(pattern);
  if (!plainOnly.load(std::memory_order_relaxed)) {
    const HANDLE find = FindFirstFileExW(path.c_str(), FindExInfoBasic, &first, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) return find;
    plainOnly.store(true, std::memory_order_relaxed);
  }
  return FindFirstFileExW(path.c_str(), FindExInfoStandard, &first, FindExSearchNameMatch, nullptr, 0);
}

}  // namespace zrcc
