// Helpers for the Windows tests: temporary folder trees, file contents and a
// recorder for the dialog seam.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

// Folder of the running test program.
std::wstring TestProgramFolder();

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

}  // namespace zrcc::test

namespace zrcc::test {

// A hidden top-level window holding a real report-style list view with the
// seven game columns and a status bar; it becomes the program's main window,
// list view and status bar (gMainWindow, gListView, gStatusBar) while alive,
// and records the loader's start and end messages.
class TestWindow {
 public:
  TestWindow();
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  int RowCount() const;
  std::wstring CellText(int row, int column) const;
  std::wstring StatusText() const;
  // Pumps messages until more than `finishedBefore` loads have ended (or
  // the timeout has passed).
  bool WaitForLoadEnd(int finishedBefore, DWORD timeoutMs = 60000);
  int loadStarted() const;
  int loadFinished() const;
};

// The main list view's rows and texts, and the status bar's text.
int ListRowCount();
std::wstring ListCellText(int row, int column);
std::wstring StatusBarText();

// Pumps this thread's messages for a while.
void PumpMessages(DWORD milliseconds);

}  // namespace zrcc::test
