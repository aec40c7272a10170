// Running the setup and removal scripts of a game folder in a console of
// their own (the real cmd.exe under Wine) and waiting for them.
#include "deploy/scripts.h"
#include "ui/notices.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "platform/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::FileExists;
using test::MakeDirs;
using test::MessageBoxRecorder;
using test::ReadFileBytes;
using test::TempDir;
using test::Wide;
using test::WriteFileBytes;


class ScriptsTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::wstring game = dir / L"My Game";
  MessageBoxRecorder boxes;

  void WriteScript(const std::wstring& name, const std::string& body) {
    WriteFileBytes(game + L"\\" + name, "@echo off\r\n" + body);
  }
  void ExpectOneErrorBox(const std::wstring& text) {
    const auto recorded = boxes.boxes();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].owner, nullptr);
    EXPECT_EQ(recorded[0].text, text);
    EXPECT_EQ(recorded[0].caption, L"Error");
    EXPECT_EQ(recorded[0].type, static_cast<UINT>(MB_ICONERROR));
    boxes.clear();
  }
};

TEST_F(ScriptsTest, MissingScriptIsReportedAndNothingRuns) {
  EXPECT_FALSE(RunSetupScript(nullptr));
  EXPECT_TRUE(boxes.boxes().empty());

  MakeDirs(game);
  EXPECT_FALSE(RunSetupScript(game.c_str()));
  ExpectOneErrorBox(L"setup_windows.bat not found!");
  EXPECT_FALSE(RunRemovalScript(game.c_str()));
  ExpectOneErrorBox(L"Remove Zandrivell.bat not found!");

  // A folder of the script's name is no script.
  MakeDirs(game + L"\\setup_windows.bat");
  EXPECT_FALSE(RunSetupScript(game.c_str()));
  ExpectOneErrorBox(L"setup_windows.bat not found!");

  // Scripts are looked for in the folder given, not below it.
  WriteFileBytes(game + L"\\bin\\Remove Zandrivell.bat", "@echo off\r\necho ran > \"%~dp0ran.txt\"\r\n");
  EXPECT_FALSE(RunRemovalScript(game.c_str()));
  ExpectOneErrorBox(L"Remove Zandrivell.bat not found!");
  EXPECT_FALSE(FileExists(game + L"\\bin\\ran.txt"));
}

// The marker is written only after a pause of about a second, so finding it
// as soon as the call returns shows the call waited for the script.
TEST_F(ScriptsTest, RemovalScriptRunsInTheGameFolderAndIsAwaited) {
  WriteScript(L"Remove Zandrivell.bat", "ping -n 2 127.0.0.1 >nul\r\ncd > cwd.txt\r\necho done> marker.txt\r\n");
  ASSERT_TRUE(RunRemovalScript(game.c_str()));
  EXPECT_EQ(ReadFileBytes(game + L"\\marker.txt"), "done\r\n");
  EXPECT_EQ(LowerKey(TrimBlanks(Wide(ReadFileBytes(game + L"\\cwd.txt")))), LowerKey(game));
  EXPECT_TRUE(boxes.boxes().empty());
}

// Presses and releases the space bar in the console of process `pid`.
void PressKeyInConsole(DWORD pid) {
  FreeConsole();
  ASSERT_TRUE(AttachConsole(pid));
  UniqueHandle in(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  INPUT_RECORD key[2] = {};
  for (int i = 0; i < 2; ++i) {
    key[i].EventType = KEY_EVENT;
    key[i].Event.KeyEvent.bKeyDown = i == 0;
    key[i].Event.KeyEvent.wRepeatCount = 1;
    key[i].Event.KeyEvent.wVirtualKeyCode = VK_SPACE;
    key[i].Event.KeyEvent.uChar.UnicodeChar = L' ';
  }
  DWORD written = 0;
  EXPECT_TRUE(in && WriteConsoleInputW(in.get(), key, 2, &written));
  FreeConsole();
}

// A failing script's console stays open until a key is pressed there, so
// that its message can be read; then the exit code is still the script's
// and said in a box. "exit 3" (without /b) ends the script's own
// interpreter only.
TEST_F(ScriptsTest, FailingScriptKeepsItsConsoleUntilAKeyAndSaysSo) {
  WriteScript(L"setup_windows.bat", "echo The game could not be patched.\r\necho ran> marker.txt\r\nexit 3\r\n");
  bool openAfterTheScript = false;
  EXPECT_TRUE(RunSetupScript({L"", game}, [&](const std::wstring&, HANDLE process) {
    for (int i = 0; i < 200 && !FileExists(game + L"\\marker.txt"); ++i) Sleep(50);
    openAfterTheScript = WaitForSingleObject(process, 1000) == WAIT_TIMEOUT;
    PressKeyInConsole(GetProcessId(process));
    EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
  }));
  EXPECT_TRUE(openAfterTheScript);
  ExpectOneErrorBox(L"setup_windows.bat ended with exit code 3.");

  // A script that succeeds closes its console itself; a folder given with a
  // trailing backslash works the same.
  WriteScript(L"setup_windows.bat", "echo fine> marker.txt\r\n");
  EXPECT_TRUE(RunSetupScript({L"", game + L"\\"}, [](const std::wstring&, HANDLE process) {
    EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
  }));
  EXPECT_EQ(ReadFileBytes(game + L"\\marker.txt"), "fine\r\n");
  EXPECT_TRUE(boxes.boxes().empty());
}

// A "cmd.exe" planted in the current folder or the game folder must never be
// what starts: the script still runs (the planted program would just exit).
TEST_F(ScriptsTest, PlantedInterpreterIsNotStarted) {
  const std::wstring planted = test::Fixture(L"plain.exe");
  const std::wstring current = dir / L"current";
  MakeDirs(current);
  ASSERT_TRUE(CopyFileW(planted.c_str(), (current + L"\\cmd.exe").c_str(), FALSE));
  WriteScript(L"setup_windows.bat", "echo real> marker.txt\r\n");
  ASSERT_TRUE(CopyFileW(planted.c_str(), (game + L"\\cmd.exe").c_str(), FALSE));

  std::wstring previous(32768, L'\0');
  previous.resize(GetCurrentDirectoryW(static_cast<DWORD>(previous.size()), previous.data()));
  ASSERT_TRUE(SetCurrentDirectoryW(current.c_str()));
  const bool ran = RunSetupScript(game.c_str());
  SetCurrentDirectoryW(previous.c_str());

  EXPECT_TRUE(ran);
  EXPECT_EQ(ReadFileBytes(game + L"\\marker.txt"), "real\r\n");
}

// The script is taken from the executable folder first, where Copy puts it,
// and runs there; a network folder runs nothing and says why.
TEST_F(ScriptsTest, ScriptsRunFromTheExecutableFolderFirstAndNeverFromTheNetwork) {
  const std::wstring exeFolder = game + L"\\Binaries\\Win64";
  WriteFileBytes(exeFolder + L"\\setup_windows.bat", "@echo off\r\ncd > cwd.txt\r\n");
  WriteScript(L"setup_windows.bat", "echo wrong one> marker.txt\r\n");
  EXPECT_TRUE(RunSetupScript({exeFolder, game}));
  EXPECT_EQ(LowerKey(TrimBlanks(Wide(ReadFileBytes(exeFolder + L"\\cwd.txt")))), LowerKey(exeFolder));
  EXPECT_FALSE(FileExists(game + L"\\marker.txt"));
  EXPECT_TRUE(boxes.boxes().empty());

  for (const std::wstring share : {L"\\\\server\\games\\My Game", L"\\\\?\\UNC\\server\\games\\My Game"}) {
    EXPECT_FALSE(RunRemovalScript({share + L"\\bin", share}));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].caption, L"Error");
    EXPECT_NE(boxes.boxes()[0].text.find(L"network folder"), std::wstring::npos);
    boxes.clear();
  }
}

// A folder too long to be a current directory: the script is found there,
// but the interpreter cannot be started in it, which is reported.
TEST_F(ScriptsTest, ScriptInAFolderTooLongToRunInIsALaunchFailure) {
  std::wstring longGame = dir.path();
  while (longGame.size() < 300) longGame += L"\\a-rather-long-folder-name";
  WriteFileBytes(longGame + L"\\setup_windows.bat", "@echo off\r\necho ran> marker.txt\r\n");
  EXPECT_FALSE(RunSetupScript(longGame.c_str()));
  ExpectOneErrorBox(L"Failed to launch cmd.exe");
  EXPECT_FALSE(FileExists(longGame + L"\\marker.txt"));
}

}  // namespace
}  // namespace zrcc
