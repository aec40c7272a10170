// Measuring game folders on a real (Wine) file system: long paths, files the
// program cannot open, and folder links that lead back into the tree.
#include "deploy/folder_size.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <chrono>
#include <thread>

#include "helpers/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;
using test::WriteFileBytes;

bool WaitFor(bool (*done)(const std::wstring&), const std::wstring& path) {
  for (int i = 0; i < 200; ++i) {
    if (done(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}
bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool Gone(const std::wstring& path) { return !Exists(path); }

// Under Wine: the Linux path of a file; empty on Windows.
std::wstring WineUnixPath(const std::wstring& path) {
  using UnixName = char*(__cdecl*)(const wchar_t*);
  const FARPROC proc = GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name");
  if (!proc) return {};
  char* name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(proc))(path.c_str());
  if (!name) return {};
  const std::wstring wide = test::Wide(name);
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

// A folder link `link` to the relative `target`, removed again when the
// object goes away (the temporary folder's clean-up does not follow links).
// Wine does not create links itself, so there it is a Linux symbolic link,
// which Wine shows as a folder.
class DirectoryLink {
 public:
  DirectoryLink(const std::wstring& link, const std::wstring& target) : link_(link), unix_(WineUnixPath(link)) {
    if (!unix_.empty()) {
      ok_ = StartLinuxProgram(L"/bin/ln -s -- \"" + target + L"\" \"" + unix_ + L"\"") && WaitFor(Exists, link);
    } else {
      ok_ = CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
            Exists(link);
    }
  }
  ~DirectoryLink() {
    if (!Exists(link_)) return;
    if (!unix_.empty()) {
      if (StartLinuxProgram(L"/bin/rm -f -- \"" + unix_ + L"\"")) WaitFor(Gone, link_);
    } else {
      RemoveDirectoryW(link_.c_str());
    }
  }
  DirectoryLink(const DirectoryLink&) = delete;
  DirectoryLink& operator=(const DirectoryLink&) = delete;
  bool ok() const { return ok_; }

 private:
  std::wstring link_;
  std::wstring unix_;
  bool ok_ = false;
};

TEST(FolderSize, SumsEveryFileBelowTheFolder) {
  TempDir dir;
  WriteFileBytes(dir / L"game\\a.bin", "12345");
  WriteFileBytes(dir / L"game\\sub\\b.bin", "1234567");
  WriteFileBytes(dir / L"game\\sub\\deeper\\.hidden", "12");
  test::MakeDirs(dir / L"game\\empty");
  EXPECT_EQ(MeasureFolderSize(dir / L"game"), 14u);
  EXPECT_EQ(MeasureFolderSize(dir / L"game\\"), 14u);
  EXPECT_EQ(MeasureFolderSize(dir / L"game\\empty"), 0u);
  EXPECT_EQ(MeasureFolderSize(dir / L"missing"), 0u);
  EXPECT_EQ(MeasureFolderSize(dir / L"game\\a.bin"), 0u);
  EXPECT_EQ(MeasureFolderSize(L""), 0u);
}

TEST(FolderSize, CountsFilesItCannotOpenAndFilesBeyondFourGigabytes) {
  TempDir dir;
  WriteFileBytes(dir / L"locked.bin", "123");
  UniqueHandle locked(CreateFileW((dir / L"locked.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(locked);
  // A sparse file: its size comes from the listing, nothing is read.
  {
    UniqueHandle big(CreateFileW((dir / L"big.pak").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(big);
    DWORD ignored = 0;
    DeviceIoControl(big.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = (5LL << 30) + 17;
    ASSERT_TRUE(SetFilePointerEx(big.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(big.get()));
  }
  EXPECT_EQ(MeasureFolderSize(dir.path()), (5ull << 30) + 17 + 3);
}

TEST(FolderSize, MeasuresTreesDeeperThanTheClassicPathLimit) {
  TempDir dir;
  std::wstring deep = dir / L"game";
  uint64_t expected = 0;
  int level = 0;
  while (deep.size() < 600) {
    deep += L"\\level-" + std::to_wstring(++level) + L"-with-a-long-name";
    WriteFileBytes(deep + L"\\data.bin", std::string(static_cast<size_t>(level), 'x'));
    expected += static_cast<uint64_t>(level);
  }
  ASSERT_TRUE(test::FileExists(deep + L"\\data.bin"));
  EXPECT_EQ(MeasureFolderSize(dir / L"game"), expected);
  // Starting below the limit's reach works the same.
  EXPECT_EQ(MeasureFolderSize(deep), static_cast<uint64_t>(level));
}

TEST(FolderSize, FollowsFolderLinksButNeverBackIntoItsOwnPath) {
  TempDir dir;
  const std::wstring game = dir / L"game";
  WriteFileBytes(game + L"\\a.bin", "12345");
  WriteFileBytes(game + L"\\data\\b.bin", "1234567");
  DirectoryLink toGame(game + L"\\data\\loop", L"..");
  DirectoryLink toItself(game + L"\\data\\self", L".");
  DirectoryLink alias(game + L"\\alias", L"data");
  if (!toGame.ok() || !toItself.ok() || !alias.ok()) GTEST_SKIP() << "folder links cannot be made here";
  ASSERT_TRUE(test::FileExists(game + L"\\alias\\b.bin"));
  ASSERT_TRUE(test::FileExists(game + L"\\data\\loop\\a.bin"));
  // data\b.bin is counted again through alias; loop and self lead back to
  // folders the walk is inside and add nothing.
  EXPECT_EQ(MeasureFolderSize(game), 5u + 7u + 7u);
  // From below, loop reaches game once; game's way back down to data is cut.
  EXPECT_EQ(MeasureFolderSize(game + L"\\data"), 7u + 5u);
  EXPECT_EQ(MeasureFolderSize(game + L"\\alias\\"), 7u + 5u);
}

}  // namespace
}  // namespace zrcc
