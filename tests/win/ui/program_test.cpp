// ZandRivellCC.exe as a user starts it: one copy at a time, and closing it
// while the list still loads is quick and never loses a game.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/game_list_file.h"
#include "deploy/folder_size.h"
#include "platform/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

using Program = test::StartedProcess;

std::wstring CopyProgramTo(const TempDir& dir) {
  const std::wstring exe = dir / L"ZandRivellCC.exe";
  EXPECT_TRUE(CopyFileW((test::TestProgramFolder() + L"\\ZandRivellCC.exe").c_str(), exe.c_str(), FALSE));
  return exe;
}

Program Start(const std::wstring& exe) {
  Program program = test::StartProcess(exe, L"", exe.substr(0, exe.find_last_of(L'\\')));
  EXPECT_TRUE(program.process);
  return program;
}

HWND MainWindowOf(DWORD processId, DWORD timeoutMs = 30000, const wchar_t* windowClass = L"MyWindowClass") {
  struct Search {
    DWORD pid;
    const wchar_t* cls;
    HWND found;
  } search{processId, windowClass, nullptr};
  const ULONGLONG until = GetTickCount64() + timeoutMs;
  while (!search.found && GetTickCount64() < until) {
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          wchar_t cls[64] = {};
          GetClassNameW(window, cls, 64);
          if (pid == s->pid && std::wstring(cls) == s->cls) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(50);
  }
  return search.found;
}

DWORD WaitForExit(const Program& program, DWORD timeoutMs = 60000) {
  if (WaitForSingleObject(program.process.get(), timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(program.process.get(), &code);
  return code;
}

// The text of the box a process shows, once it shows one.
std::wstring BoxTextOf(DWORD processId, HWND& box) {
  const ULONGLONG until = GetTickCount64() + 30000;
  box = nullptr;
  while (!box && GetTickCount64() < until) {
    box = MainWindowOf(processId, 100, L"#32770");
  }
  if (!box) return {};
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);  // a message box's text
  return text;
}

// A second copy started from another folder says which copy runs, and
// leaves the list to it.
TEST(Program, SecondCopyOnlyActivatesTheFirstAndWritesNothing) {
  TempDir first, second;
  const Program running = Start(CopyProgramTo(first));
  HWND window = MainWindowOf(running.id);
  ASSERT_NE(window, nullptr);

  const Program again = Start(CopyProgramTo(second));
  HWND box = nullptr;
  const std::wstring said = BoxTextOf(again.id, box);
  EXPECT_NE(said.find(L"already running from another folder"), std::wstring::npos) << test::Utf8(said);
  EXPECT_NE(said.find(first.path()), std::wstring::npos) << test::Utf8(said);
  if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForExit(again), 0u);
  EXPECT_EQ(test::ListNames(second.path()), std::vector<std::wstring>{L"ZandRivellCC.exe"});
  EXPECT_TRUE(IsWindow(window));

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExit(running), 0u);
  const auto files = test::ListNames(first.path());
  EXPECT_EQ(files, (std::vector<std::wstring>{L"ZandRivellCC.exe", L"data.ini", L"settings.ini"}));
}

// The close ends the load at the next folder, not after the games being
// walked: with a game of thousands of folders first in the list, the window
// is gone long before that game could have been walked through.
TEST(Program, ClosingWhileTheListLoadsIsQuickAndSavesEveryGame) {
  TempDir dir;
  const std::wstring exe = CopyProgramTo(dir);
  std::vector<GameListEntry> games;
  const std::wstring big = dir / L"games\\Big";
  test::MakeDirs(big);
  for (int a = 0; a < 40; ++a) {
    const std::wstring branch = big + L"\\" + std::to_wstring(a);
    CreateDirectoryW(branch.c_str(), nullptr);
    for (int b = 0; b < 50; ++b) CreateDirectoryW((branch + L"\\" + std::to_wstring(b)).c_str(), nullptr);
  }
  games.push_back({big, L"", L"Big"});
  for (int i = 0; i < 60; ++i) {
    const std::wstring game = dir / (L"games\\Game " + std::to_wstring(i));
    for (int f = 0; f < 40; ++f) test::WriteFileBytes(game + L"\\data\\f" + std::to_wstring(f), "x");
    games.push_back({game, L"", L"Game " + std::to_wstring(i)});
  }
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile(games));
  const ULONGLONG walkStart = GetTickCount64();
  MeasureFolderSize(big);
  const ULONGLONG walk = GetTickCount64() - walkStart;

  const Program program = Start(exe);
  HWND window = MainWindowOf(program.id);
  ASSERT_NE(window, nullptr);
  // Once the window answers, its message loop runs and the load is under way.
  DWORD_PTR answer = 0;
  ASSERT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer), 0);
  Sleep(100);
  const ULONGLONG closed = GetTickCount64();
  PostMessageW(window, WM_CLOSE, 0, 0);
  // The window is hidden as its destruction begins (the rest of it waits on
  // the display under Xvfb, which has no window manager to answer).
  while (IsWindowVisible(window) && GetTickCount64() - closed < 60000) Sleep(5);
  const ULONGLONG gone = GetTickCount64() - closed;
  EXPECT_EQ(WaitForExit(program), 0u);
  EXPECT_LT(gone * 4, walk) << "closed after " << gone << " ms; walking the big game takes " << walk << " ms";
  EXPECT_EQ(ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini")), games);
}

}  // namespace
}  // namespace zrcc
