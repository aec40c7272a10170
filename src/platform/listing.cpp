#include "platform/listing.h"

#include <atomic>

#include "core/paths.h"

namespace zrcc {

HANDLE OpenListing(const std::wstring& folder, WIN32_FIND_DATAW& first) {
  if (folder.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  const std::wstring pattern = ExtendedLengthPath(JoinPath(folder, L"*"));
  // Systems before Windows 7 refuse the basic level and the large fetch as
  // invalid parameters; once refused, the plain listing is used from then on.
  static std::atomic<bool> plainOnly{false};
  if (!plainOnly.load(std::memory_order_relaxed)) {
    const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &first, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) return find;
    plainOnly.store(true, std::memory_order_relaxed);
  }
  return FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &first, FindExSearchNameMatch, nullptr, 0);
}

}  // namespace zrcc
