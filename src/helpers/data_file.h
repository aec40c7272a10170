// data.ini beside the executable: reading it for the loader, and SaveData.
#pragma once

#include <cstdint>
#include <string>

namespace zrcc {

constexpr wchar_t kDataFileName[] = L"data.ini";

// The largest data.ini that is read: far above any real list (100,000 games
// take under 60 MB), far below what would exhaust the memory of the program.
constexpr uint64_t kMaxDataFileBytes = 128ull << 20;

// How the bytes of a data.ini read.
enum class DataFileBytes {
  Empty,          // nothing, or only a byte order mark: no games
  Text,           // UTF-8, or UTF-16 after its byte order mark
  LocalCodePage,  // re-saved by an editor in this PC's ANSI code page, with games in it
  Unreadable,     // none of these
};
DataFileBytes DecodeDataFileBytes(const std::string& bytes, std::wstring& text);

// The reading half of LoadData: the decoded text of data.ini (see
// DataFileBytes). A file held open by another program is tried again for a
// few seconds (unless the job is asked to stop). False (no text) when the
// file is missing, holds no text, or cannot be read; a file that exists but
// could not be read, was too large, or was read in the local code page is
// remembered, so that a save keeps it aside before replacing it, and the
// user is told about every file that could not be read.
bool ReadDataFileText(std::wstring& text);

// Writes the catalogue to data.ini. The new content goes to a temporary file
// beside it that then replaces data.ini in one step, so data.ini is always
// either the previous list or the new one. A save that fails leaves the
// previous file as it was and tells the user. A data.ini the last load could
// not read is never replaced by an empty list: it is left as it is (true).
// Returns whether the list is in the file.
bool SaveData();

// The name under which an unreadable data.ini is kept before it would be
// replaced: data.unreadable.ini, data.unreadable.2.ini, ... (never an
// existing file). Exposed for tests.
std::wstring KeptAsideName(int attempt);

}  // namespace zrcc
