// Helpers for the Windows tests: temporary folder trees, file contents and a
// recorder for the dialog seam.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win_handles.h"
#include "win/hidden_list_window.h"

namespace zrcc::test {

// A fresh folder under the temporary folder, removed with everything in it
// when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const;

 private:
  std::wstring path_;
};

// Creates every missing folder of `path` (long paths included).
void MakeDirs(const std::wstring& path);
// Writes `bytes` to `path`, creating its folders.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
// Makes the file `size` bytes long without writing them (a sparse file whose
// size costs no disk), keeping what it already holds; false on failure.
bool ExtendSparse(const std::wstring& path, uint64_t size);
bool FileExists(const std::wstring& path);
bool DirExists(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// Copies a file, creating the target's folders; a failure fails the test.
void CopyFileOrFail(const std::wstring& from, const std::wstring& to);
std::vector<std::wstring> ListNames(const std::wstring& folder);  // sorted, without . and ..

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

// A folder link at `link` to the relative `target`, removed again when the
// object goes away (the temporary folder's clean-up does not follow links).
// Wine does not create links itself, so there it is a Linux symbolic link
// (made with /bin/ln), which Wine shows as a folder; on Windows a directory
// symbolic link. ok() tells whether the link exists.
class FolderLink {
 public:
  FolderLink(const std::wstring& link, const std::wstring& target);
  ~FolderLink();
  FolderLink(const FolderLink&) = delete;
  FolderLink& operator=(const FolderLink&) = delete;
  bool ok() const { return ok_; }

 private:
  std::wstring link_;
  std::wstring unix_;
  bool ok_ = false;
};

// A drive letter for `folder` (made when missing), as a removable drive that can be unplugged
// and plugged in again: under Wine a link in the prefix's dosdevices folder
// (removing it is what unplugging does to Wine); on Windows ok() is false.
class WineDrive {
 public:
  explicit WineDrive(const std::wstring& folder);
  ~WineDrive();
  WineDrive(const WineDrive&) = delete;
  WineDrive& operator=(const WineDrive&) = delete;
  bool ok() const { return ok_; }
  const std::wstring& root() const { return root_; }  // "Y:\"
  bool Unplug();
  bool PlugIn();

 private:
  std::wstring root_, link_, target_;
  bool ok_ = false;
};

// A drive letter with no drive behind it (an unplugged disk), other than
// `besides`; 0 when every letter is taken.
wchar_t AbsentDriveLetter(wchar_t besides = 0);

// Folder of the running test program, and a PE fixture the build made
// beside it (<folder>\fixtures\<name>).
std::wstring TestProgramFolder();
std::wstring Fixture(const std::wstring& name);

// A program a test started.
struct StartedProcess {
  UniqueHandle process;
  DWORD id = 0;
};
// Starts `exe` with `arguments` (the program's name is put first, quoted) in
// `folder` (empty: the test's own), with `output` as its standard output
// when given. The process handle is null when it could not start.
StartedProcess StartProcess(const std::wstring& exe, const std::wstring& arguments = L"",
                            const std::wstring& folder = L"", HANDLE output = nullptr);
// Runs a console program to its end: its exit code and standard output.
struct ProcessResult {
  DWORD exitCode = 0;
  std::string output;
};
ProcessResult RunProcess(const std::wstring& exe, const std::wstring& arguments);

// Answers every message box with IDOK and records it, while alive.
struct RecordedBox {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};
class MessageBoxRecorder {
 public:
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
  std::vector<RecordedBox> boxes() const;
  void clear();
  // Called with each box while it is "open" (on the thread that shows it).
  std::function<void(const RecordedBox&)> whileOpen;
};

// Answers the questions of the Windows shell's own dialogs (its copy asks
// before it replaces a file) while alive: a thread of its own presses the
// button `answer` (IDYES, IDNO...) in every dialog box of this process that
// has one.
class ShellDialogAnswerer {
 public:
  explicit ShellDialogAnswerer(int answer);
  ~ShellDialogAnswerer();
  ShellDialogAnswerer(const ShellDialogAnswerer&) = delete;
  ShellDialogAnswerer& operator=(const ShellDialogAnswerer&) = delete;
  int answered() const { return answered_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> answered_{0};
  std::thread thread_;
};

}  // namespace zrcc::test

namespace zrcc::test {

// The hidden game list (hidden_list_window.h) with what tests ask of it.
class TestWindow : public HiddenListWindow {
 public:
  int RowCount() const;
  std::wstring CellText(int row, int column) const;
  std::wstring StatusText() const;
  // Pumps messages until more than `finishedBefore` loads have ended (or
  // the timeout has passed).
  bool WaitForLoadEnd(int finishedBefore, DWORD timeoutMs = 60000);
  int loadStarted() const;
  int loadFinished() const;
};

// The status bar's text.
std::wstring StatusBarText(HWND statusBar);

// Pumps this thread's messages for a while.
void PumpMessages(DWORD milliseconds);

}  // namespace zrcc::test
