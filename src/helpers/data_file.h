// data.ini beside the executable: reading it for the loader, and SaveData.
#pragma once

#include <cstdint>
#include <string>

namespace zrcc {

constexpr wchar_t kDataFileName[] = L"data.ini";

// The largest data.ini that is read: far above any real list (100,000 games
// take under 60 MB), far below what would exhaust the memory of the program.
constexpr uint64_t kMaxDataFileBytes = 128ull << 20;

// The reading half of LoadData: the decoded text of data.ini. False (no text)
// when the file is missing, empty, only a byte order mark, not UTF-8, or
// larger than kMaxDataFileBytes. A file that exists but could not be read or
// decoded, or was too large, is remembered, so that the next save keeps it
// aside before replacing it; the user is told about a file too large.
bool ReadDataFileText(std::wstring& text);

// Writes the catalogue to data.ini. The new content goes to a temporary file
// beside it that then replaces data.ini in one step, so data.ini is always
// either the previous list or the new one. A save that fails leaves the
// previous file as it was and tells the user. Returns whether it was written.
bool SaveData();

// The name under which an unreadable data.ini is kept before it would be
// replaced: data.unreadable.ini, data.unreadable.2.ini, ... (never an
// existing file). Exposed for tests.
std::wstring KeptAsideName(int attempt);

}  // namespace zrcc
