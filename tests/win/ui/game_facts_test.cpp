// What the window knows of a game before the mod goes in, as a user meets
// it: the upscalers it ships in their column, its anti-cheat, a run of it,
// Steam updating it. A "No" and a refusal leave the game's folder as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/columns.h"
#include "core/control_ids.h"
#include "core/game_list_file.h"
#include "pure/pe_image_builder.h"
#include "win/test_support.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

using test::TempDir;

// Every file of a folder with its bytes, to tell that nothing changed.
std::vector<std::pair<std::wstring, std::string>> Contents(const std::wstring& folder) {
  std::vector<std::pair<std::wstring, std::string>> files;
  for (const std::wstring& name : test::ListNames(folder)) {
    const std::wstring path = folder + L"\\" + name;
    if (test::DirExists(path)) {
      for (auto& [inner, bytes] : Contents(path)) files.emplace_back(name + L"\\" + inner, std::move(bytes));
    } else {
      files.emplace_back(name, test::ReadFileBytes(path));
    }
  }
  return files;
}

TEST(GameFacts, UpscalersAntiCheatARunningGameAndSteamUpdatesComeBeforeTheMod) {
  TempDir dir;
  // A game as its store lays it out: DLSS and XeSS beside the executable,
  // Easy Anti-Cheat in a folder of its own.
  const std::wstring game = dir / L"Games\\Halcyon";
  test::CopyFileOrFail(test::Fixture(L"plain.exe"), game + L"\\bin\\x64\\Halcyon.exe");
  test::CopyFileOrFail(test::Fixture(L"dlss_3710.dll"), game + L"\\bin\\x64\\nvngx_dlss.dll");
  test::CopyFileOrFail(test::Fixture(L"xess_text_version.dll"), game + L"\\bin\\x64\\libxess.dll");
  test::WriteFileBytes(game + L"\\EasyAntiCheat\\Settings.json", "{}");
  // A game of a Steam library whose manifest says an update is waiting.
  const std::wstring library = dir / L"SteamLibrary\\steamapps";
  const std::wstring steamGame = library + L"\\common\\Tidebreaker";
  test::CopyFileOrFail(test::Fixture(L"plain.exe"), steamGame + L"\\Tidebreaker.exe");
  test::WriteFileBytes(library + L"\\appmanifest_7.acf",
                       "\"AppState\"\n{\n\t\"appid\"\t\"7\"\n\t\"name\"\t\"Tidebreaker\"\n\t\"StateFlags\"\t\"6\"\n"
                       "\t\"installdir\"\t\"Tidebreaker\"\n\t\"buildid\"\t\"10\"\n\t\"TargetBuildID\"\t\"11\"\n}\n");
  // An old game whose programs are all 32-bit, a 32-bit tool beside it.
  const std::wstring oldGame = dir / L"Games\\Old Keep";
  const std::vector<uint8_t> pe32 = test::BuildPe({}, {false}).bytes;
  for (const wchar_t* name : {L"OldKeep.exe", L"Setup.exe"}) {
    test::WriteFileBytes(oldGame + L"\\" + name, std::string(pe32.begin(), pe32.end()));
  }
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile({{game, L"bin\\x64", L"Halcyon"},
                                                               {steamGame, L"", L"Tidebreaker"},
                                                               {oldGame, L"", L"Old Keep"}}));
  test::AppWindow app(dir.path());
  app.UsePackage(dir / L"package");

  const std::wstring upscalers = app.Cell(0, kColumnUpscalers);
  EXPECT_EQ(upscalers.rfind(L"DLSS 3.7.10, XeSS ", 0), 0u) << test::Utf8(upscalers);
  EXPECT_EQ(app.Cell(1, kColumnUpscalers), L"");

  // Anti-cheat: asked, default No; the answer here is no Yes.
  const auto before = Contents(game);
  app.boxes.clear();
  app.Select(0);
  app.Press(kIdCopyButton);
  ASSERT_EQ(app.boxes.boxes().size(), 1u);
  const test::RecordedBox question = app.boxes.boxes()[0];
  EXPECT_EQ(question.text,
            L"Halcyon uses Easy Anti-Cheat. A mod loaded into a game with anti-cheat can get your account banned in "
            L"online play, or keep the game from starting. Copy ZandRivell anyway?");
  EXPECT_EQ(question.type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
  EXPECT_EQ(Contents(game), before) << "No changes nothing";

  // A run of the game, from its folder: every deployment is refused.
  const std::wstring exe = game + L"\\bin\\x64\\wait.exe";
  test::CopyFileOrFail(test::TestProgramFolder() + L"\\zrcc-wait-game.exe", exe);
  const test::StartedProcess running = test::StartProcess(exe, L"", game + L"\\bin\\x64");
  ASSERT_TRUE(running.process);
  const auto withRun = Contents(game);
  for (const int command : {kIdCopyButton, kIdInstallButton, kIdUninstallButton}) {
    app.boxes.clear();
    app.Select(0);
    app.PressNow(command);  // a disabled button's command all the same
    app.WaitUntilLoaded();
    ASSERT_EQ(app.boxes.boxes().size(), 1u) << command;
    EXPECT_EQ(app.boxes.boxes()[0].text, L"Close Halcyon first: wait.exe is running.");
    EXPECT_EQ(app.boxes.boxes()[0].caption, L"Error");
  }
  TerminateProcess(running.process.get(), 0);
  WaitForSingleObject(running.process.get(), 10000);
  EXPECT_EQ(Contents(game), withRun);

  // Steam's update waiting: asked too.
  app.boxes.clear();
  app.Select(1);
  app.Press(kIdCopyButton);
  ASSERT_EQ(app.boxes.boxes().size(), 1u);
  EXPECT_EQ(app.boxes.boxes()[0].text,
            L"Steam has an update pending for Tidebreaker. It may replace or remove files while it runs. "
            L"Copy ZandRivell anyway?");
  EXPECT_FALSE(test::FileExists(steamGame + L"\\ZandRivell.dll"));

  // A 32-bit game: the 64-bit DLL would never load, and the user is told so.
  app.boxes.clear();
  app.Select(2);
  app.Press(kIdCopyButton);
  ASSERT_EQ(app.boxes.boxes().size(), 1u);
  EXPECT_EQ(app.boxes.boxes()[0].text,
            L"Old Keep runs as a 32-bit program: the ZandRivell DLL (64-bit) cannot load into it. Copy anyway?");
  EXPECT_FALSE(test::FileExists(oldGame + L"\\ZandRivell.dll"));

  // The inspector says the same of the game's own files.
  const test::ProcessResult inspected =
      test::RunProcess(test::TestProgramFolder() + L"\\zrcc-inspect.exe", L"game \"" + game + L"\"");
  ASSERT_EQ(inspected.exitCode, 0u) << inspected.output;
  const nlohmann::json out = nlohmann::json::parse(inspected.output);
  ASSERT_EQ(out["upscalers"].size(), 2u) << inspected.output;
  EXPECT_EQ(out["upscalers"][0]["file"], "nvngx_dlss.dll");
  EXPECT_EQ(out["upscalers"][0]["folder"], "bin\\x64");
  EXPECT_EQ(out["upscalers"][0]["version"], "3.7.10");
  EXPECT_EQ(out["antiCheat"], nlohmann::json::array({"Easy Anti-Cheat"}));
  EXPECT_EQ(out["runs32Bit"], false);
}

}  // namespace
}  // namespace zrcc
