// A game's own upscalers and anti-cheat markers, read in the one walk that
// also gives its size and executables: real DLLs with version resources made
// by the resource compiler, laid out as games ship them, beside copies the
// program itself made.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/game_files.h"
#include "deploy/exe_detection.h"
#include "deploy/folder_size.h"
#include "deploy/game_file_scan.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::CopyFileOrFail;
using test::Fixture;
using test::MakeDirs;
using test::TempDir;

void ExpectSameExecutables(const std::vector<ExecutableCandidate>& a, const std::vector<ExecutableCandidate>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].fileName, b[i].fileName);
    EXPECT_EQ(a[i].folder, b[i].folder);
    EXPECT_EQ(a[i].productName, b[i].productName);
  }
}

// A game with its DLLs beside the executable: DLSS read from the fixed
// version, XeSS from the version text, an empty EasyAntiCheat folder. Not
// the game's: the FSR DLL a copy kept aside in the backup folder, and the
// mod's own DLL installed under the name of DLSS frame generation.
TEST(GameFileScan, ReadsTheGamesOwnUpscalersAndAntiCheatBesideTheExecutable) {
  TempDir temp;
  const std::wstring game = temp / L"Iron Coast";
  const std::wstring bin = game + L"\\bin\\x64";
  CopyFileOrFail(Fixture(L"plain.exe"), bin + L"\\IronCoast.exe");
  CopyFileOrFail(Fixture(L"dlss_3710.dll"), bin + L"\\nvngx_dlss.dll");
  CopyFileOrFail(Fixture(L"xess_text_version.dll"), bin + L"\\LibXeSS.dll");
  CopyFileOrFail(Fixture(L"zandrivell.dll"), bin + L"\\nvngx_dlssg.dll");
  CopyFileOrFail(Fixture(L"fsr_312.dll"), bin + L"\\.zandrivell-backup\\20240101-120000\\amd_fidelityfx_dx12.dll");
  CopyFileOrFail(Fixture(L"plain.exe"), bin + L"\\.zandrivell-backup\\20240101-120000\\BEService.exe");
  MakeDirs(game + L"\\EasyAntiCheat");

  const GameFolderWalk walk = WalkGameFolder(game, true);
  EXPECT_EQ(UpscalerColumnText(walk.gameFiles), L"DLSS 3.7.10, XeSS 1.3.1");
  ASSERT_EQ(walk.gameFiles.upscalers.size(), 2u);
  EXPECT_EQ(walk.gameFiles.upscalers[0], (UpscalerFile{UpscalerTechnology::DlssSuperResolution, UpscalerRole::Main,
                                                       L"nvngx_dlss.dll", L"bin\\x64", L"3.7.10"}));
  EXPECT_EQ(walk.gameFiles.upscalers[1].file, L"LibXeSS.dll");  // as it lies on the disk
  EXPECT_EQ(walk.gameFiles.antiCheats, std::vector{AntiCheatSystem::EasyAntiCheat});

  // The same size and executables as the walks the refresh made before.
  std::vector<ExecutableCandidate> executables;
  EXPECT_EQ(walk.size, CollectExecutablesAndMeasure(game, executables));
  EXPECT_EQ(walk.size, MeasureFolderSize(game));
  ExpectSameExecutables(walk.executables, executables);
  EXPECT_TRUE(WalkGameFolder(game, false).executables.empty());
  EXPECT_EQ(WalkGameFolder(game, false).gameFiles, walk.gameFiles);
}

// An Unreal game keeps its upscalers in plugin folders far from the
// executable, here past the classic path limit; a BattlEye folder in any
// letter case marks it.
TEST(GameFileScan, FindsUnrealPluginCopiesFarFromTheExecutable) {
  TempDir temp;
  const std::wstring game = temp / (std::wstring(120, L'g') + L"\\Halcyon");
  const std::wstring dlss = L"Engine\\Plugins\\Runtime\\Nvidia\\DLSS\\Binaries\\ThirdParty\\Win64";
  const std::wstring fsr = L"Engine\\Plugins\\Marketplace\\" + std::wstring(80, L'f') + L"\\Binaries\\Win64";
  CopyFileOrFail(Fixture(L"plain.exe"), game + L"\\Halcyon\\Binaries\\Win64\\Halcyon-Win64-Shipping.exe");
  CopyFileOrFail(Fixture(L"dlss_3710.dll"), game + L"\\" + dlss + L"\\nvngx_dlss.dll");
  CopyFileOrFail(Fixture(L"fsr_312.dll"), game + L"\\" + fsr + L"\\amd_fidelityfx_dx12.dll");
  MakeDirs(game + L"\\Halcyon\\Binaries\\Win64\\BATTLEYE");
  ASSERT_GT(game.size() + fsr.size(), 260u);

  const GameFolderWalk walk = WalkGameFolder(game, false);
  EXPECT_EQ(UpscalerColumnText(walk.gameFiles), L"DLSS 3.7.10, FSR 3.1.2");
  ASSERT_EQ(walk.gameFiles.upscalers.size(), 2u);
  EXPECT_EQ(walk.gameFiles.upscalers[0].folder, dlss);
  EXPECT_EQ(walk.gameFiles.upscalers[1].folder, fsr);
  EXPECT_EQ(walk.gameFiles.antiCheats, std::vector{AntiCheatSystem::BattlEye});
  EXPECT_EQ(walk.size, MeasureFolderSize(game));
}

}  // namespace
}  // namespace zrcc
