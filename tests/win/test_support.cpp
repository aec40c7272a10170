#include "win/test_support.h"

#include <winioctl.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>

#include "core/paths.h"
#include "core/text.h"
#include "platform/dialogs.h"
#include "platform/win_handles.h"

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
  CreateDirectoryW(ExtendedLengthPath(path, kNewFolderPathLimit).c_str(), nullptr);
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

bool ExtendSparse(const std::wstring& path, uint64_t size) {
  UniqueHandle file(CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD ignored = 0;
  DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
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

void CopyFileOrFail(const std::wstring& from, const std::wstring& to) {
  const size_t cut = to.find_last_of(L"\\/");
  if (cut != std::wstring::npos) MakeDirs(to.substr(0, cut));
  if (!CopyFileW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy " << Utf8(from) << " to " << Utf8(to);
  }
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

namespace {

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntilExists(const std::wstring& path, bool shouldExist) {
  for (int i = 0; i < 200; ++i) {
    if (PathExists(path) == shouldExist) return true;
    Sleep(25);
  }
  return false;
}

// Under Wine: the Linux path of a file; empty on Windows.
std::wstring WineUnixPath(const std::wstring& path) {
  using UnixName = char*(__cdecl*)(const wchar_t*);
  const FARPROC proc = GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name");
  if (!proc) return {};
  char* name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(proc))(path.c_str());
  if (!name) return {};
  const std::wstring wide = Wide(name);
  HeapFree(GetProcessHeap(), 0, name);
  return wide;
}

// Wine starts Linux programs through CreateProcessW, but their handles
// cannot be waited for: callers wait for the program's effect instead.
bool StartLinuxProgram(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

FolderLink::FolderLink(const std::wstring& link, const std::wstring& target) : link_(link), unix_(WineUnixPath(link)) {
  if (!unix_.empty()) {
    ok_ = StartLinuxProgram(L"/bin/ln -s -- \"" + target + L"\" \"" + unix_ + L"\"") && WaitUntilExists(link, true);
  } else {
    ok_ = CreateSymbolicLinkW(link.c_str(), target.c_str(),
                              SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
          PathExists(link);
  }
}

FolderLink::~FolderLink() {
  if (!PathExists(link_)) return;
  if (!unix_.empty()) {
    if (StartLinuxProgram(L"/bin/rm -f -- \"" + unix_ + L"\"")) WaitUntilExists(link_, false);
  } else {
    RemoveDirectoryW(link_.c_str());
  }
}

wchar_t AbsentDriveLetter(wchar_t besides) {
  for (wchar_t letter = L'Y'; letter >= L'D'; --letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    if (letter != besides && GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) return letter;
  }
  return 0;
}

WineDrive::WineDrive(const std::wstring& folder) {
  MakeDirs(folder);
  target_ = WineUnixPath(folder);
  const DWORD size = GetEnvironmentVariableW(L"WINEPREFIX", nullptr, 0);
  if (target_.empty() || size == 0) return;
  std::wstring prefix(size, L'\0');
  prefix.resize(GetEnvironmentVariableW(L"WINEPREFIX", prefix.data(), size));
  if (const wchar_t letter = AbsentDriveLetter()) {
    root_ = std::wstring(1, letter) + L":\\";
    link_ = prefix + L"/dosdevices/" + static_cast<wchar_t>(letter - L'A' + L'a') + L":";
  }
  ok_ = !root_.empty() && PlugIn();
}

WineDrive::~WineDrive() {
  if (!root_.empty()) Unplug();
}

bool WineDrive::Unplug() {
  return StartLinuxProgram(L"/bin/rm -f -- \"" + link_ + L"\"") && WaitUntilExists(root_, false);
}

bool WineDrive::PlugIn() {
  return StartLinuxProgram(L"/bin/ln -sfn -- \"" + target_ + L"\" \"" + link_ + L"\"") && WaitUntilExists(root_, true);
}

std::wstring Fixture(const std::wstring& name) { return TestProgramFolder() + L"\\fixtures\\" + name; }

StartedProcess StartProcess(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder,
                            HANDLE output) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  PROCESS_INFORMATION info{};
  StartedProcess started;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return started;
  }
  CloseHandle(info.hThread);
  started.process = UniqueHandle(info.hProcess);
  started.id = info.dwProcessId;
  return started;
}

ProcessResult RunProcess(const std::wstring& exe, const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ProcessResult result;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  UniqueHandle reader(readEnd);
  StartedProcess started = StartProcess(exe, arguments, L"", writeEnd);
  CloseHandle(writeEnd);  // the child holds its own copy: the pipe ends with it
  if (!started.process) return result;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) result.output.append(buffer, got);
  WaitForSingleObject(started.process.get(), INFINITE);
  GetExitCodeProcess(started.process.get(), &result.exitCode);
  return result;
}

std::wstring TestProgramFolder() {
  std::vector<wchar_t> buffer(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::wstring exe(buffer.data(), length);
  return exe.substr(0, exe.find_last_of(L'\\'));
}

MessageBoxRecorder::MessageBoxRecorder() {
  clear();
  SetMessageBoxHandler([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    const RecordedBox box{owner, text, caption, type};
    {
      std::lock_guard<std::mutex> lock(gBoxMutex);
      gBoxes.push_back(box);
    }
    // While a real box is open its own message loop runs: whatever the user
    // does meanwhile is done here, before the box is answered.
    if (whileOpen) whileOpen(box);
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

ShellDialogAnswerer::ShellDialogAnswerer(int answer) {
  thread_ = std::thread([this, answer] {
    std::vector<HWND> done;
    while (!stop_) {
      struct Search {
        int answer;
        std::vector<HWND>* done;
        std::atomic<int>* answered;
      } search{answer, &done, &answered_};
      EnumWindows(
          [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t cls[16] = {};
            GetClassNameW(window, cls, 16);
            const HWND button = GetDlgItem(window, s.answer);
            if (process != GetCurrentProcessId() || std::wstring(cls) != L"#32770" || !button ||
                !IsWindowVisible(window) || std::find(s.done->begin(), s.done->end(), window) != s.done->end()) {
              return TRUE;
            }
            s.done->push_back(window);
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(s.answer, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            ++*s.answered;
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&search));
      Sleep(25);
    }
  });
}

ShellDialogAnswerer::~ShellDialogAnswerer() {
  stop_ = true;
  thread_.join();
}

}  // namespace zrcc::test

#include <commctrl.h>

#include "platform/list_view.h"

namespace zrcc::test {

std::wstring StatusBarText(HWND statusBar) {
  std::wstring buffer(512, L'\0');
  SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer.data()));
  return buffer.c_str();
}

int TestWindow::RowCount() const { return ListRowCount(list()); }
std::wstring TestWindow::CellText(int row, int column) const { return ListCellText(list(), row, column); }
std::wstring TestWindow::StatusText() const { return StatusBarText(statusBar()); }

bool TestWindow::WaitForLoadEnd(int finishedBefore, DWORD timeoutMs) {
  const ULONGLONG until = GetTickCount64() + timeoutMs;
  while (jobsEnded() <= finishedBefore && GetTickCount64() < until) PumpMessages(10);
  PumpMessages(10);
  return jobsEnded() > finishedBefore;
}

int TestWindow::loadStarted() const { return jobsStarted(); }
int TestWindow::loadFinished() const { return jobsEnded(); }

void PumpMessages(DWORD milliseconds) {
  const ULONGLONG until = GetTickCount64() + milliseconds;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount64() < until);
}

}  // namespace zrcc::test
