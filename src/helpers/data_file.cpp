#include "helpers/data_file.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "platform/app_folder.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/disk.h"
#include "platform/files.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

// Set when the last load met a data.ini it could not take as it is: the
// file is kept aside before a list replaces it (cleared once kept). A file
// too large to read is moved aside rather than copied: a copy of gigabytes
// could fill the disk, and the save with it. gListNotRead: none of its games
// reached the catalogue.
bool gUnreadableDataFile = false;
bool gOversizedDataFile = false;
bool gListNotRead = false;

// How long a list held open by another program (a backup or sync tool) is
// waited for before it counts as unreadable.
constexpr ULONGLONG kLockedListWaitMs = 3000;

bool IsHeldByAnotherProgram(uint32_t error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

FileRead ReadListFile(const std::wstring& path, std::string& bytes, uint32_t& error) {
  const ULONGLONG until = GetTickCount64() + kLockedListWaitMs;
  for (;;) {
    error = ERROR_SUCCESS;
    const FileRead read = ReadWholeFile(path, bytes, kMaxDataFileBytes, &error);
    if (read != FileRead::Unreadable || !IsHeldByAnotherProgram(error) || GetTickCount64() >= until ||
        StopRequested()) {
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

// The list starts empty and the user is told why, and where the file will
// be kept should a list be saved over it; not when the window is closing.
void ReportUnreadableList(const std::wstring& path, const std::wstring& reason) {
  if (StopRequested()) return;
  ShowMessageBox(nullptr,
                 L"The game list could not be read, so the list starts empty.\n\nFile: " + path + L"\n" + reason +
                     L"\n\nThe file is left as it is. Before a list is saved in its place, it is " +
                     (gOversizedDataFile ? L"moved" : L"copied") + L" to:\n" + FreeKeptAsideName(),
                 L"Error", MB_ICONWARNING | MB_OK);
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

// Writes `bytes` to `path` through a temporary file and an atomic replace.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes, DWORD& error) {
  // A list the user made read-only is not replaced (Windows refuses that
  // itself; Wine's rename would not).
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    error = ERROR_ACCESS_DENIED;
    return false;
  }
  const std::wstring temp = path + L".saving";
  {
    UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      error = GetLastError();
      return false;
    }
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
      DWORD written = 0;
      ok = WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) && written == chunk;
      done += written;
    }
    if (ok) ok = FlushFileBuffers(file.get()) != 0;
    if (!ok) {
      error = GetLastError();
      if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
      file.reset();
      DeleteFileW(temp.c_str());
      return false;
    }
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
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

void ReportSaveFailure(const std::wstring& path, const std::wstring& what, DWORD error) {
  ShowMessageBox(nullptr,
                 L"The game list could not be saved.\n\nFile: " + path + L"\n" + what + L": " +
                     SystemErrorText(error) + L"\n\nThe file was left as it was before.",
                 L"Error", MB_ICONERROR | MB_OK);
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

bool ReadDataFileText(std::wstring& text) {
  text.clear();
  gUnreadableDataFile = false;
  gOversizedDataFile = false;
  gListNotRead = false;
  const std::wstring path = AppFilePath(kDataFileName);
  if (path.empty()) return false;
  std::string bytes;
  uint32_t error = ERROR_SUCCESS;
  switch (ReadListFile(path, bytes, error)) {
    case FileRead::Read:
      break;
    case FileRead::Missing:
      return false;  // no list yet: an empty one
    case FileRead::Unreadable:
      // Present but unreadable: it must not be replaced blindly.
      gUnreadableDataFile = gListNotRead = true;
      ReportUnreadableList(path, L"Reason: " + SystemErrorText(error));
      return false;
    case FileRead::TooLarge:
      gUnreadableDataFile = gOversizedDataFile = gListNotRead = true;
      ReportUnreadableList(path, L"Reason: it is larger than " + std::to_wstring(kMaxDataFileBytes >> 20) + L" MB.");
      return false;
  }
  switch (DecodeDataFileBytes(bytes, text)) {
    case DataFileBytes::Empty:
      return false;
    case DataFileBytes::Text:
      return true;
    case DataFileBytes::LocalCodePage:
      // Saved again as UTF-8; the original is kept aside first, as the code
      // page is this PC's, which need not be the one the file was written in.
      gUnreadableDataFile = true;
      return true;
    case DataFileBytes::Unreadable:
      break;
  }
  gUnreadableDataFile = gListNotRead = true;
  ReportUnreadableList(path, L"Reason: its text is neither UTF-8 nor UTF-16 nor in this PC's code page.");
  return false;
}

bool SaveData() {
  const std::wstring path = AppFilePath(kDataFileName);
  if (path.empty()) return false;

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
      ReportSaveFailure(path, L"The unreadable list could not be kept aside", error);
      return false;
    }
    gUnreadableDataFile = gOversizedDataFile = gListNotRead = false;
  }
  if (!ReplaceFileContents(path, bytes, error)) {
    ReportSaveFailure(path, L"Reason", error);
    return false;
  }
  return true;
}

}  // namespace zrcc
