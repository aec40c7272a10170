#include "helpers/data_file.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "platform/app_folder.h"
#include "platform/dialogs.h"
#include "platform/disk.h"
#include "platform/files.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

// Set when the last load met a data.ini it could not use; cleared once that
// file has been kept aside. A file too large to read is moved aside rather
// than copied: a copy of gigabytes could fill the disk, and the save with it.
bool gUnreadableDataFile = false;
bool gOversizedDataFile = false;

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

bool ReadDataFileText(std::wstring& text) {
  text.clear();
  gUnreadableDataFile = false;
  gOversizedDataFile = false;
  const std::wstring path = AppFilePath(kDataFileName);
  if (path.empty()) return false;
  std::string bytes;
  switch (ReadWholeFile(path, bytes, kMaxDataFileBytes)) {
    case FileRead::Read:
      break;
    case FileRead::Missing:
      return false;  // no list yet: an empty one
    case FileRead::Unreadable:
      // Present but unreadable: it must not be replaced blindly.
      gUnreadableDataFile = true;
      return false;
    case FileRead::TooLarge:
      gUnreadableDataFile = gOversizedDataFile = true;
      ShowMessageBox(nullptr,
                     L"The game list is too large to be read (more than " +
                         std::to_wstring(kMaxDataFileBytes >> 20) + L" MB), so the list starts empty.\n\nFile: " +
                         path + L"\n\nThe file is kept: when the list is next saved it is renamed to " +
                         KeptAsideName(1) + L" (or the next free number), never overwritten.",
                     L"Error", MB_ICONWARNING | MB_OK);
      return false;
  }
  if (DecodeGameListBytes(bytes, text)) return true;
  const bool onlyMark = bytes.empty() || bytes == "\xEF\xBB\xBF";
  gUnreadableDataFile = !onlyMark;
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
  if (gUnreadableDataFile) {
    if (!KeepUnreadableFileAside(path, gOversizedDataFile, error)) {
      ReportSaveFailure(path, L"The unreadable list could not be kept aside", error);
      return false;
    }
    gUnreadableDataFile = gOversizedDataFile = false;
  }
  if (!ReplaceFileContents(path, bytes, error)) {
    ReportSaveFailure(path, L"Reason", error);
    return false;
  }
  return true;
}

}  // namespace zrcc
