// Listing a folder's entries: the one way the program reads a directory
// entry by entry, wherever it scans a library, a package or a game folder.
#pragma once

#include <windows.h>

#include <string>
#include <type_traits>

#include "platform/win_handles.h"

namespace zrcc {

// What a visitor of ForEachEntry answers after an entry.
enum class EntryStep { Next, Stop };

enum class ListingEnd {
  Complete,    // every entry was visited
  Stopped,     // the visitor answered EntryStep::Stop
  Unlistable,  // the folder could not be listed at all
};

struct ListingResult {
  ListingEnd end = ListingEnd::Complete;
  DWORD error = ERROR_SUCCESS;  // the system's reason when Unlistable
  bool Listed() const { return end != ListingEnd::Unlistable; }
};

// FindFirstFileW's contract (INVALID_HANDLE_VALUE and the system's error
// when the listing cannot start; continue with FindNextFileW, end with
// FindClose) for every entry of `folder`, at any path length. The quick way:
// without the short 8.3 names nobody here reads (cAlternateFileName stays
// empty), entries fetched in large batches. An empty folder text names no
// folder and is refused: it is never taken for the current one.
HANDLE OpenListing(const std::wstring& folder, WIN32_FIND_DATAW& first);

inline bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Calls `visit` with each entry of `folder` in listing order, "." and ".."
// left out. A visitor returning EntryStep may end the listing early; one
// returning nothing sees every entry. An entry the system fails to deliver
// midway ends the listing as if the folder ended there.
template <typename Visit>
ListingResult ForEachEntry(const std::wstring& folder, Visit&& visit) {
  using Answer = std::invoke_result_t<Visit&, const WIN32_FIND_DATAW&>;
  // A visitor answering bool would be taken for one that never stops.
  static_assert(std::is_void_v<Answer> || std::is_same_v<Answer, EntryStep>, "visit answers EntryStep or nothing");
  WIN32_FIND_DATAW entry{};
  const FindHandle listing(OpenListing(folder, entry));
  if (!listing) return {ListingEnd::Unlistable, GetLastError()};
  const WIN32_FIND_DATAW& seen = entry;
  do {
    if (IsDotEntry(entry.cFileName)) continue;
    if constexpr (std::is_same_v<Answer, EntryStep>) {
      if (visit(seen) == EntryStep::Stop) return {ListingEnd::Stopped};
    } else {
      visit(seen);
    }
  } while (FindNextFileW(listing.get(), &entry));
  return {};
}

}  // namespace zrcc
