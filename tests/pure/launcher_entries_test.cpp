// The small launcher files and registry values: the Xbox app's drive
// marker, Origin's manifests, EA's launch paths, the uninstall list's
// launcher games, Ubisoft's folders, the JSON lists of Heroic, legendary and
// Amazon.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ea_origin.h"
#include "core/found_games.h"
#include "core/launcher_json.h"
#include "core/uninstall_rules.h"
#include "core/xbox_gaming_root.h"

namespace zrcc {
namespace {

using Paths = std::vector<std::wstring>;

// A .GamingRoot as the Xbox app writes one: magic, count, UTF-16LE paths.
std::string GamingRoot(const std::vector<std::u16string>& folders, uint32_t count) {
  std::string bytes = "RGBX";
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((count >> (8 * i)) & 0xFF);
  for (const std::u16string& folder : folders) {
    for (const char16_t unit : folder + u'\0') {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
  }
  return bytes;
}

TEST(XboxGamingRoot, ReadsTheLibrariesOfADriveAndOnlyWholeSafeOnes) {
  // The example of the launchers' notes, byte for byte.
  const std::string example("\x52\x47\x42\x58\x01\x00\x00\x00\x58\x00\x62\x00\x6F\x00\x78\x00\x47\x00\x61\x00\x6D\x00"
                            "\x65\x00\x73\x00\x00\x00",
                            28);
  EXPECT_EQ(ReadGamingRoot(example), Paths{L"XboxGames"});
  const std::string two = GamingRoot({u"XboxGames", u"\\Games/Xbox\\", u"..\\Windows", u"C:\\Elsewhere",
                                      u"Sp\u00E9cial \U0001F3AE"}, 5);
  const Paths safe = {L"XboxGames", L"Games\\Xbox", L"Sp\u00E9cial \xD83C\xDFAE"};
  EXPECT_EQ(ReadGamingRoot(two), safe);
  // Cut anywhere: the whole paths before the cut, never a half path.
  for (size_t length = 8; length < two.size(); ++length) {
    const auto cut = ReadGamingRoot(two.substr(0, length));
    ASSERT_TRUE(cut) << length;
    ASSERT_LE(cut->size(), safe.size());
    EXPECT_TRUE(std::equal(cut->begin(), cut->end(), safe.begin())) << length;
  }
  EXPECT_EQ(ReadGamingRoot(GamingRoot({u"A", u"B"}, 1)), Paths{L"A"}) << "the count, not the bytes, says how many";
  EXPECT_EQ(ReadGamingRoot(GamingRoot({}, 0xFFFFFFFF)), Paths{});
  EXPECT_EQ(ReadGamingRoot(GamingRoot({std::u16string(1, char16_t(0xD800)) + u"x"}, 1)), Paths{});  // unpaired
  EXPECT_EQ(ReadGamingRoot("XBGR\x01"), std::nullopt);
}

TEST(LauncherFolders, AFolderIsADrivesOrAShareAndNothingThatCouldLeadElsewhere) {
  // Ubisoft writes forward slashes and a trailing one.
  EXPECT_EQ(LauncherFolderPath(L"C:/Program Files (x86)/Ubisoft/Ubisoft Game Launcher/games/Far Cry 5/"),
            L"C:\\Program Files (x86)\\Ubisoft\\Ubisoft Game Launcher\\games\\Far Cry 5");
  EXPECT_EQ(LauncherFolderPath(L" D:\\Games\\Origin\\Titanfall2\\ "), L"D:\\Games\\Origin\\Titanfall2");
  EXPECT_EQ(LauncherFolderPath(L"E:\\"), L"E:\\");
  EXPECT_EQ(LauncherFolderPath(L"\\\\nas\\games\\Foo\\"), L"\\\\nas\\games\\Foo");
  for (const std::wstring& bad : {std::wstring(L""), std::wstring(L"Games\\Foo"), std::wstring(L"\\Games\\Foo"),
                                 std::wstring(L"C:Games"), std::wstring(L"C:\\Games\\Foo:stream"),
                                 std::wstring(L"\\\\?\\C:\\Games"), std::wstring(L"\\\\.\\PhysicalDrive0"),
                                 std::wstring(L"C:\\Ga\0mes", 9), std::wstring(L"1:\\x"),
                                 L"C:\\" + std::wstring(40000, L'a')}) {
    EXPECT_EQ(LauncherFolderPath(bad), std::nullopt) << bad.size();
  }
}

TEST(Origin, ManifestsNameTheGameFolderUnlessOriginOnlyLinksToSteam) {
  const auto manifest = ReadOriginManifest(
      "?currentstate=kReadyToStart&id=Origin.OFR.50.0001452&previousstate=kInstalling"
      "&dipinstallpath=C%3a%5cProgram%20Files%5cOrigin%20Games%5cTitanfall2%5c&dipInstallPath=X%3a%5c"
      "&ddinstallalreadycompleted=1\r\n");
  ASSERT_TRUE(manifest);
  EXPECT_EQ(manifest->id, L"Origin.OFR.50.0001452");
  EXPECT_EQ(manifest->installPath, L"C:\\Program Files\\Origin Games\\Titanfall2\\");
  EXPECT_EQ(ReadOriginManifest("id=X&dipInstallPath=D%3A%5CJeux%5CSp%C3%A9cial+Ops")->installPath,
            L"D:\\Jeux\\Sp\u00E9cial+Ops");
  EXPECT_FALSE(manifest->onSteam);
  EXPECT_TRUE(ReadOriginManifest("id=Origin.OFR.50.0002694@steam&dipInstallPath=C%3a%5cx")->onSteam);
  for (const char* broken : {"id=X", "dipInstallPath=C%3a%5cx", "id=X&dipInstallPath=", "id=X&dipInstallPath=C%3",
                             "id=X&dipInstallPath=C%00x", "id=X&dipInstallPath=C%FFx", ""}) {
    EXPECT_EQ(ReadOriginManifest(broken), std::nullopt) << broken;
  }
}

TEST(Ea, TheLaunchPathIsTheFileAfterTheRegistryValueInBrackets) {
  EXPECT_EQ(EaLaunchFile(L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Respawn\\Titanfall2\\Install Dir]Titanfall2.exe"),
            L"Titanfall2.exe");
  EXPECT_EQ(EaLaunchFile(L" [HKEY_LOCAL_MACHINE\\SOFTWARE\\EA Games\\Sims 4\\Install Dir]Game\\Bin\\TS4_x64.exe"),
            L"Game\\Bin\\TS4_x64.exe");
  EXPECT_EQ(EaLaunchFile(L"C:\\Games\\X\\x.exe"), L"C:\\Games\\X\\x.exe");
  EXPECT_EQ(EaLaunchFile(L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Install Dir"), std::nullopt);
  // What follows the bracket still has to stay in the game folder.
  EXPECT_EQ(LauncherExecutableBelow(L"C:\\Games\\X", *EaLaunchFile(L"[HKLM\\X]..\\..\\evil.exe")), std::nullopt);
}

TEST(UninstallList, OnlyTheLaunchersOwnGameEntriesAreGames) {
  const auto game = [](const wchar_t* name, const wchar_t* command) {
    return RecogniseLauncherGame({name, L"C:\\Games\\X", command});
  };
  const auto diablo = game(L"Diablo III", LR"("C:\ProgramData\Battle.net\Agent\Blizzard Uninstaller.exe" --lang=enUS --uid=diablo3_enus --displayname="Diablo III")");
  ASSERT_TRUE(diablo);
  EXPECT_EQ(diablo->launcher, UninstallLauncher::BattleNet);
  EXPECT_EQ(diablo->id, L"diablo3_enus");
  const auto gta = game(L"Grand Theft Auto V", LR"("C:\Program Files\Rockstar Games\Launcher\Launcher.exe" -uninstall=gta5)");
  ASSERT_TRUE(gta);
  EXPECT_EQ(gta->launcher, UninstallLauncher::Rockstar);
  EXPECT_EQ(gta->id, L"gta5");
  EXPECT_EQ(game(L"Red Dead Redemption 2", LR"("C:\Program Files\Rockstar Games\Launcher\uninstall.exe" -uninstall=rdr2)")->id,
            L"rdr2");
  for (const auto& [name, command] : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
           {L"Overwatch Test", LR"("C:\ProgramData\Battle.net\Agent\Blizzard Uninstaller.exe" --uid=prometheus_test)"},
           {L"World of Warcraft Beta", LR"("C:\ProgramData\Battle.net\Agent\Blizzard Uninstaller.exe" --uid=wow_beta)"},
           {L"Battle.net", LR"("C:\Program Files (x86)\Battle.net\Battle.net Uninstaller.exe" --uid=battle.net)"},
           {L"Battle.net", LR"("C:\Program Files (x86)\Battle.net\Battle.net.exe" --uninstall)"},
           {L"Rockstar Games Launcher", LR"("C:\Program Files\Rockstar Games\Launcher\uninstall.exe" -uninstall=launcher)"},
           {L"Rockstar Games Social Club", LR"("C:\Program Files\Rockstar Games\Social Club\uninstallRGSCRedistributable.exe")"},
           {L"Notepad++", LR"("C:\Program Files\Notepad++\uninstall.exe")"},
           {L"Uid tool", LR"(C:\Tools\unins000.exe --uid=foo)"},
           {L"Uninstaller for rockstar fans", LR"(C:\Fans\uninstall.exe -uninstall=gta5)"}}) {
    EXPECT_EQ(game(name, command), std::nullopt) << name;
  }
}

TEST(LauncherJson, HeroicAndLegendaryListsInEveryLayout) {
  const auto legendary = ReadInstalledGames(R"({
    "Fig": {"app_name": "Fig", "title": "Fig Quest", "install_path": "D:\\Games\\FigQuest", "executable": "Bin/Fig.exe",
            "platform": "Windows", "is_dlc": false, "version": "1.0"},
    "FigDLC": {"app_name": "FigDLC", "title": "Fig Quest Soundtrack", "install_path": "D:\\Games\\FigQuest", "is_dlc": true},
    "Mac": {"app_name": "Mac", "install_path": "D:\\Games\\Mac", "platform": "Mac"},
    "Bad": {"app_name": "Bad", "install_path": "D:\\Games\\Bad\u0000x"}})");
  ASSERT_TRUE(legendary);
  ASSERT_EQ(legendary->size(), 1u);
  EXPECT_EQ((*legendary)[0].title, L"Fig Quest");
  EXPECT_EQ((*legendary)[0].installPath, L"D:\\Games\\FigQuest");
  EXPECT_EQ((*legendary)[0].executable, L"Bin/Fig.exe");
  const auto gog = ReadInstalledGames(
      "\xEF\xBB\xBF{\"installed\": [{\"appName\": \"1207658924\", \"install_path\": \"E:\\\\GOG\\\\Delta\", "
      "\"platform\": \"windows\", \"executable\": \"\"}, {\"appName\": \"2\", \"platform\": \"linux\", "
      "\"install_path\": \"/home/x\"}]}");
  ASSERT_TRUE(gog);
  ASSERT_EQ(gog->size(), 1u);
  EXPECT_EQ((*gog)[0].title, L"1207658924");
  const auto nile = ReadInstalledGames(R"([{"id": "amzn1.adg.product.1", "path": "F:\\Amazon\\Game"}, 7, "x"])");
  ASSERT_TRUE(nile);
  ASSERT_EQ(nile->size(), 1u);
  EXPECT_EQ((*nile)[0].installPath, L"F:\\Amazon\\Game");
  for (const char* broken : {"", "{", "[1,", "\"x\"", "42", "{\"a\": \"\xFF\"}", "null"}) {
    EXPECT_EQ(ReadInstalledGames(broken), std::nullopt) << broken;
  }
  ASSERT_TRUE(ReadInstalledGames("{}"));
  EXPECT_TRUE(ReadInstalledGames("{}")->empty());
}

TEST(LauncherJson, FuelNamesTheAmazonGamesExecutable) {
  EXPECT_EQ(ReadFuelCommand(R"({"SchemaVersion": "2", "Main": {"Command": "Binaries\\Win64\\Game.exe",
                               "Args": ["-a"], "WorkingSubdirOverride": "Binaries"}, "PostInstall": []})"),
            L"Binaries\\Win64\\Game.exe");
  for (const char* broken : {R"({"Main": {"Command": 5}})", R"({"Main": "Game.exe"})", R"({"Command": "x.exe"})",
                             R"({"Main": {"Command": "  "}})", R"({"Main": {"Command": "a\u0000b"}})", "[", ""}) {
    EXPECT_EQ(ReadFuelCommand(broken), std::nullopt) << broken;
  }
}

}  // namespace
}  // namespace zrcc
