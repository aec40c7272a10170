#include "win/test_support.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>

#include "helpers/paths.h"
#include "helpers/text.h"
#include "helpers/win_handles.h"
#include "ui/dialogs.h"

namespace zrcc::test {

namespace {
std::mutex gBoxMutex;
std::vector<RecordedBox> gBoxes;
}  // namespace

TempDir::TempDir() {
  wchar_t base[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, base);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::wstring(base) + L"zrcc-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temporary folder");
  }
}

TempDir::~TempDir() { RemoveTree(path_); }

std::wstring TempDir::operator/(const std::wstring& relative) const { return JoinPath(path_, relative); }

void MakeDirs(const std::wstring& path) {
  const std::wstring full = ExtendedLengthPath(path);
  if (GetFileAttributesW(full.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  const size_t cut = path.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 2) MakeDirs(path.substr(0, cut));
  CreateDirectoryW(full.c_str(), nullptr);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  const size_t cut = path.find_last_of(L"\\/");
  if (cut != std::wstring::npos) MakeDirs(path.substr(0, cut));
  UniqueHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot write a test file");
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::wstring& path) {
  UniqueHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

bool FileExists(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::wstring& path) {
  const std::wstring full = ExtendedLengthPath(path);
  const DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(full.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(full.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {  // never walk into a link's target
    for (const std::wstring& name : ListNames(path)) RemoveTree(JoinPath(path, name));
  }
  RemoveDirectoryW(full.c_str());
}

std::vector<std::wstring> ListNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  FindHandle find(FindFirstFileW(ExtendedLengthPath(JoinPath(folder, L"*")).c_str(), &data));
  if (!find) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find.get(), &data));
  std::sort(names.begin(), names.end());
  return names;
}

std::string Utf8(const std::wstring& text) { return EncodeUtf8(text); }
std::wstring Wide(const std::string& utf8) { return DecodeUtf8Lenient(utf8); }

std::wstring TestProgramFolder() {
  std::vector<wchar_t> buffer(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::wstring exe(buffer.data(), length);
  return exe.substr(0, exe.find_last_of(L'\\'));
}

MessageBoxRecorder::MessageBoxRecorder() {
  clear();
  SetMessageBoxHandler([](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    std::lock_guard<std::mutex> lock(gBoxMutex);
    gBoxes.push_back({owner, text, caption, type});
    return IDOK;
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(nullptr); }

std::vector<RecordedBox> MessageBoxRecorder::boxes() const {
  std::lock_guard<std::mutex> lock(gBoxMutex);
  return gBoxes;
}

void MessageBoxRecorder::clear() {
  std::lock_guard<std::mutex> lock(gBoxMutex);
  gBoxes.clear();
}

}  // namespace zrcc::test
