#include "helpers/data_file.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "core/owner_thread.h"
#include "platform/app_folder.h"
#include "platform/files.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

// Set when the last load met a data.ini it could not take as it is: the
// file is kept aside before a list replaces it (cleared once kept). A file
// too large to read is moved aside rather than copied: a copy of gigabytes
// could fill the disk, and the save with it. gListNotRead: none of its games
// reached the catalogue. The UI thread's, like the save.
bool gUnreadableDataFile = false;
bool gOversizedDataFile = false;
bool gListNotRead = false;

// How long a list held open by another program (a backup or sync tool) is
// waited for before it counts as unreadable.
constexpr ULONGLONG kLockedListWaitMs = 3000;

bool IsHeldByAnotherProgram(uint32_t error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

FileRead ReadListFile(const std::wstring& path, std::string& bytes, uint32_t& error, const std::atomic<bool>* stop) {
  const ULONGLONG until = GetTickCount64() + kLockedListWaitMs;
  for (;;) {
    error = ERROR_SUCCESS;
    const FileRead read = ReadWholeFile(path, bytes, kMaxDataFileBytes, &error);
    if (read != FileRead::Unreadable || !IsHeldByAnotherProgram(error) || GetTickCount64() >= until ||
        (stop && stop->load())) {
      return read;
    }
    Sleep(100);
  }
}

// The name a kept-aside list will get: the first that is free now.
std::wstring FreeKeptAsideName() {
  for (int attempt = 1;; ++attempt) {
    const std::wstring kept = AppFilePath(KeptAsideName(attempt));
    if (attempt >= 999 || GetFileAttributesW(kept.c_str()) == INVALID_FILE_ATTRIBUTES) return kept;
  }
}

// Text in the local ANSI code page, as an editor's "ANSI" save writes it;
// false when some byte is no character of that code page.
bool DecodeLocalCodePage(const std::string& bytes, std::wstring& text) {
  text.clear();
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return false;
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  text.resize(static_cast<size_t>(length));
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), length) == length;
}

// Copies (or moves) an unreadable data.ini to the first free kept-aside
// name; an existing file of that name is never replaced.
bool KeepUnreadableFileAside(const std::wstring& path, bool move, DWORD& error) {
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;  // gone meanwhile
  for (int attempt = 1; attempt < 1000; ++attempt) {
    const std::wstring kept = AppFilePath(KeptAsideName(attempt));
    if (move ? MoveFileExW(path.c_str(), kept.c_str(), MOVEFILE_WRITE_THROUGH) != 0
             : CopyFileW(path.c_str(), kept.c_str(), TRUE) != 0) {
      return true;
    }
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

}  // namespace

std::wstring KeptAsideName(int attempt) {
  if (attempt <= 1) return L"data.unreadable.ini";
  return L"data.unreadable." + std::to_wstring(attempt) + L".ini";
}

DataFileBytes DecodeDataFileBytes(const std::string& bytes, std::wstring& text) {
  text.clear();
  if (HoldsNoGameListText(bytes)) return DataFileBytes::Empty;
  if (DecodeGameListBytes(bytes, text)) {
    // NULs are no text: with no game in it, such a file is UTF-16 without
    // its byte order mark, say, not a list that is empty.
    if (bytes.find('\0') == std::string::npos || !ParseGameListText(text).empty()) return DataFileBytes::Text;
  }
  // Only a code page guess that yields games is taken: anything else would
  // read as an empty list without a word.
  if (LooksLikeLocalCodePage(bytes) && DecodeLocalCodePage(bytes, text) && !ParseGameListText(text).empty()) {
    return DataFileBytes::LocalCodePage;
  }
  text.clear();
  return DataFileBytes::Unreadable;
}

ListFileRead ReadGameListFile(const std::wstring& path, const std::atomic<bool>* stop) {
  ListFileRead read;
  read.path = path;
  if (path.empty()) return read;
  std::string bytes;
  switch (ReadListFile(path, bytes, read.error, stop)) {
    case FileRead::Read:
      break;
    case FileRead::Missing:
      return read;  // no list yet: an empty one
    case FileRead::Unreadable:
      read.outcome = ListFileOutcome::Unreadable;
      return read;
    case FileRead::TooLarge:
      read.outcome = ListFileOutcome::TooLarge;
      return read;
  }
  switch (DecodeDataFileBytes(bytes, read.text)) {
    case DataFileBytes::Empty: read.outcome = ListFileOutcome::Empty; break;
    case DataFileBytes::Text: read.outcome = ListFileOutcome::Text; break;
    case DataFileBytes::LocalCodePage: read.outcome = ListFileOutcome::LocalCodePage; break;
    case DataFileBytes::Unreadable: read.outcome = ListFileOutcome::NotText; break;
  }
  return read;
}

void NoteListFileRead(const ListFileRead& read) {
  CheckOwnerThread();
  // Present but unreadable: it must not be replaced blindly. Read in the
  // local code page: saved again as UTF-8, the original kept aside first, as
  // the code page is this PC's, which need not be the one it was written in.
  gUnreadableDataFile = read.NotRead() || read.outcome == ListFileOutcome::LocalCodePage;
  gOversizedDataFile = read.outcome == ListFileOutcome::TooLarge;
  gListNotRead = read.NotRead();
}

std::wstring ListKeptAsideAs() {
  CheckOwnerThread();
  return FreeKeptAsideName();
}

bool ListWillBeMovedAside() {
  CheckOwnerThread();
  return gOversizedDataFile;
}

bool SaveGameList(SaveFailure& failure) {
  CheckOwnerThread();
  const std::wstring path = AppFilePath(kDataFileName);
  if (path.empty()) return false;
  failure = {};
  failure.path = path;

  std::vector<GameListEntry> entries;
  const int32_t count = GameCount();
  entries.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const Game* game = GetGame(i);
    if (!game) {
      BrokenInvariant("SaveData: GetGame returned nullptr - out of bounds!");
    }
    entries.push_back({game->path, game->exeFolder, game->name});
  }
  const std::string bytes = FormatGameListFile(entries);

  DWORD error = ERROR_SUCCESS;
  // An unreadable list is only ever replaced by a list with games in it:
  // with none, there is nothing to save, and the file stays as it is (a
  // list that was only held open by another program reads again at the next
  // load).
  if (gListNotRead && entries.empty()) return true;
  if (gUnreadableDataFile) {
    if (!KeepUnreadableFileAside(path, gOversizedDataFile, error)) {
      failure.step = SaveFailure::Step::KeepAside;
      failure.error = error;
      return false;
    }
    gUnreadableDataFile = gOversizedDataFile = gListNotRead = false;
  }
  if (!ReplaceFileContents(path, bytes, error)) {
    failure.step = SaveFailure::Step::Replace;
    failure.error = error;
    return false;
  }
  return true;
}

}  // namespace zrcc
