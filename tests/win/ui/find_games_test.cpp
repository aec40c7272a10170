// "Find Games on This PC" on the real main window, with the launchers laid
// out in the test prefix as they write themselves: Steam's registry value and
// list of libraries (one on a second drive, one on a drive that is gone, one
// on a share), its app manifests, Epic's manifests in ProgramData, GOG's
// registry entries, and one game of each other launcher: an Xbox library
// beside a protected Store folder on the second drive, Origin's, Ubisoft's
// and Battle.net's registry entries, legendary's installed.json.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <algorithm>

#include "core/catalogue.h"
#include "core/columns.h"
#include "core/game_list_file.h"
#include "discovery/launcher_common.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/window_input.h"
#include "pure/appinfo_builder.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

using test::TempDir;

constexpr wchar_t kGogGames[] = L"SOFTWARE\\WOW6432Node\\GOG.com\\Games";

void SetRegistryText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY opened = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr), ERROR_SUCCESS);
  RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
}

void Exe(const std::wstring& path) { test::CopyFileOrFail(test::Fixture(L"plain.exe"), path); }

std::string Escaped(const std::wstring& path) {  // as Steam and Epic write a path inside quotes
  std::string out;
  for (const char c : test::Utf8(path)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

void SteamManifest(const std::wstring& steamapps, const std::string& name, const std::string& folder) {
  test::WriteFileBytes(steamapps + L"\\appmanifest_" + test::Wide(folder) + L".acf",
                       "\"AppState\"\n{\n\t\"name\"\t\t\"" + name + "\"\n\t\"installdir\"\t\t\"" + folder + "\"\n}\n");
}

// The launchers' registry keys and files, removed again afterwards; a fresh
// test prefix has none of them.
class Launchers {
 public:
  Launchers() : epic_(KnownFolderPath(FOLDERID_ProgramData) + L"\\Epic") { EXPECT_FALSE(test::DirExists(epic_)); }
  ~Launchers() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Valve");
    for (const wchar_t* tree : {L"GOG.com", L"Origin Games", L"Ubisoft", kBattleNetEntry}) {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"SOFTWARE\\WOW6432Node\\") + tree).c_str());
    }
    test::RemoveTree(epic_);
    test::RemoveTree(Profile() + L"\\.config");
    test::RemoveTree(LocalAppData() + L"\\Amazon Games");
  }
  static std::wstring LocalAppData() { return KnownFolderPath(FOLDERID_LocalAppData); }
  static std::wstring Profile() { return KnownFolderPath(FOLDERID_Profile); }
  static constexpr wchar_t kBattleNetEntry[] = L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\Diablo III";
  std::wstring EpicManifest(const std::wstring& file) const {
    return epic_ + L"\\EpicGamesLauncher\\Data\\Manifests\\" + file;
  }

 private:
  std::wstring epic_;
};

struct Row {
  std::wstring path, exeFolder, name;
  bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* out) {
  *out << test::Utf8(row.path + L" | " + row.exeFolder + L" | " + row.name);
}

std::vector<Row> Rows(const test::AppWindow& app) {
  std::vector<Row> rows;
  for (int i = 0; i < app.RowCount(); ++i) {
    rows.push_back({app.Cell(i, kColumnPath), app.Cell(i, kColumnExeFolder), app.Cell(i, kColumnName)});
  }
  return rows;
}

TEST(FindGames, AddsEveryLaunchersGamesWithTheirExecutableOnceAndSaysWhatItSkipped) {
  TempDir dir;
  Launchers launchers;
  // Steam: the installation's own library, and one on a second drive whose
  // name says nothing of Steam. Beta is a packaged Unreal game.
  const std::wstring steam = dir / L"Steam Install";
  Exe(steam + L"\\steamapps\\common\\Alpha\\Alpha.exe");
  test::MakeDirs(steam + L"\\steamapps\\common\\Leftover");  // an uninstalled game's remains
  SteamManifest(steam + L"\\steamapps", "Alpha Game", "Alpha");
  // Steam's launch entry names the DirectX 12 build beside the other one,
  // which the name rules alone would take.
  Exe(steam + L"\\steamapps\\common\\Ember\\bin\\x64\\Ember.exe");
  Exe(steam + L"\\steamapps\\common\\Ember\\bin\\x64_dx12\\Ember.exe");
  test::WriteFileBytes(steam + L"\\steamapps\\appmanifest_30.acf",
                       "\"AppState\"\n{\n\t\"appid\"\t\t\"30\"\n\t\"name\"\t\t\"Ember\"\n\t\"installdir\"\t\t\"Ember\"\n}\n");
  test::AppInfoFile appinfo(41);
  appinfo.Add(30, test::AppKv(30, "Ember", {{"bin\\x64_dx12\\Ember.exe", "default", "windows", "64", ""},
                                           {"bin\\x64\\Ember.exe", "option1", "windows", "64", ""}}));
  test::WriteFileBytes(steam + L"\\appcache\\appinfo.vdf", appinfo.Bytes());
  Exe(dir / L"DriveY\\Games\\steamapps\\common\\Beta\\Beta.exe");
  Exe(dir / L"DriveY\\Games\\steamapps\\common\\Beta\\Beta\\Binaries\\Win64\\Beta-Win64-Shipping.exe");
  SteamManifest(dir / L"DriveY\\Games\\steamapps", "Beta Game", "Beta");
  test::WineDrive drive(dir / L"DriveY");
  ASSERT_TRUE(drive.ok());
  const std::wstring y = drive.root().substr(0, 1);
  const std::wstring absent(1, test::AbsentDriveLetter(y[0]));
  std::string libraries = "\"libraryfolders\"\n{\n";
  int n = 0;
  for (const std::wstring& library : {steam, y + L":\\Games", absent + L":\\SteamLibrary",
                                      std::wstring(L"\\\\server\\share\\SteamLibrary"), y + L":\\games\\"}) {
    libraries += "\t\"" + std::to_string(n++) + "\"\n\t{\n\t\t\"path\"\t\t\"" + Escaped(library) +
                 "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"10\"\t\t\"1\"\n\t\t}\n\t}\n";
  }
  test::WriteFileBytes(steam + L"\\steamapps\\libraryfolders.vdf", libraries + "}\n");
  std::wstring steamPath = steam;
  for (wchar_t& c : steamPath) c = c == L'\\' ? L'/' : c;  // as Steam writes it
  SetRegistryText(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", steamPath);

  // Epic: it names a bootstrap launcher, behind which the real game runs.
  const std::wstring gamma = dir / L"Epic Games\\GammaQuest";
  Exe(gamma + L"\\GQ.exe");
  Exe(gamma + L"\\GammaQuest\\Binaries\\Win64\\GammaQuest-Win64-Shipping.exe");
  test::WriteFileBytes(launchers.EpicManifest(L"A1B2.item"),
                       "{\n\t\"FormatVersion\": 0,\n\t\"DisplayName\": \"Gamma Quest\",\n\t\"InstallLocation\": \"" +
                           Escaped(gamma) +
                           "\",\n\t\"LaunchExecutable\": \"GQ.exe\",\n\t\"AppCategories\": [\"games\"]\n}\n");
  test::WriteFileBytes(launchers.EpicManifest(L"broken.item"), "{\n\t\"DisplayName\": \"Half\",\n\t\"Inst");
  test::WriteFileBytes(launchers.EpicManifest(L"lost.item"),
                       "{\"DisplayName\": \"Lost Game\", \"InstallLocation\": \"" +
                           Escaped(dir / L"Epic Games\\Lost") + "\"}");

  // GOG: its executable is not the one detection would take; a soundtrack
  // entry names the same folder; an entry without a folder.
  const std::wstring delta = dir / L"GOG Games\\Delta Saga";
  Exe(delta + L"\\DeltaSaga.exe");
  Exe(delta + L"\\bin\\x64\\ds64.exe");
  for (const wchar_t* id : {L"1207658924", L"1207658925"}) {
    SetRegistryText(HKEY_LOCAL_MACHINE, std::wstring(kGogGames) + L"\\" + id, L"gameName",
                    id[9] == L'4' ? L"Delta Saga" : L"Delta Saga Soundtrack");
    SetRegistryText(HKEY_LOCAL_MACHINE, std::wstring(kGogGames) + L"\\" + id, L"path", delta);
    SetRegistryText(HKEY_LOCAL_MACHINE, std::wstring(kGogGames) + L"\\" + id, L"exe", delta + L"\\bin\\x64\\ds64.exe");
  }
  SetRegistryText(HKEY_LOCAL_MACHINE, std::wstring(kGogGames) + L"\\999", L"gameName", L"Nameless");
  // A GOG entry naming a whole drive: no game, and it hides none of the
  // drive's games.
  SetRegistryText(HKEY_LOCAL_MACHINE, std::wstring(kGogGames) + L"\\998", L"gameName", L"Rootless");
  SetRegistryText(HKEY_LOCAL_MACHINE, std::wstring(kGogGames) + L"\\998", L"path", L"C:\\");

  // Xbox: the app's library on the second drive names its launch helper in
  // a subfolder; beside it the Store's protected folder, counted, not added.
  const std::wstring coral = y + L":\\XboxGames\\Coral Reach";
  Exe(dir / L"DriveY\\XboxGames\\Coral Reach\\Content\\Coral.exe");
  Exe(dir / L"DriveY\\XboxGames\\Coral Reach\\Content\\CoralReach\\Binaries\\WinGDK\\CoralReach-WinGDK-Shipping.exe");
  test::WriteFileBytes(dir / L"DriveY\\XboxGames\\Coral Reach\\Content\\MicrosoftGame.config",
                       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Game configVersion=\"1\"><ExecutableList>"
                       "<Executable Name=\"CoralReach\\Binaries\\WinGDK\\CoralReach-WinGDK-Shipping.exe\" Id=\"Game\"/>"
                       "</ExecutableList></Game>\n");
  test::WriteFileBytes(dir / L"DriveY\\XboxGames\\Coral Reach\\Content\\appxmanifest.xml",
                       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Package xmlns=\"http://schemas.microsoft.com/appx/"
                       "manifest/foundation/windows10\"><Identity Name=\"Contoso.CoralReach\" Publisher=\"CN=Contoso\" "
                       "Version=\"1.0.0.0\"/><Properties><DisplayName>Coral Reach</DisplayName></Properties>"
                       "<Applications><Application Id=\"Game\" Executable=\"GameLaunchHelper.exe\"/></Applications>"
                       "</Package>\r\n");
  test::MakeDirs(dir / L"DriveY\\WindowsApps\\Contoso.Sealed_1.0.0.0_x64__8wekyb3d8bbwe");
  std::string gamingRoot = std::string("RGBX\x02\0\0\0", 8);
  for (const std::string folder : {"XboxGames", "WindowsApps"}) {
    for (const char c : folder) gamingRoot += std::string(1, c) + '\0';
    gamingRoot += std::string(2, '\0');
  }
  test::WriteFileBytes(dir / L"DriveY\\.GamingRoot", gamingRoot);
  // Origin, Ubisoft (its slashes), Battle.net (its uninstaller's entry) and
  // legendary each name a folder; legendary names the executable too.
  const std::wstring old = dir / L"Origin Games\\Old Title";
  Exe(old + L"\\OldTitle.exe");
  SetRegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Origin Games\\OFB-EAST:1234", L"InstallDir", old);
  const std::wstring farShore = dir / L"Ubisoft\\games\\Far Shore 3";
  Exe(farShore + L"\\FarShore3.exe");
  std::wstring forward = farShore + L"/";
  std::replace(forward.begin(), forward.end(), L'\\', L'/');
  SetRegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Ubisoft\\Launcher\\Installs\\5595", L"InstallDir", forward);
  const std::wstring diablo = dir / L"Blizzard\\Diablo III";
  Exe(diablo + L"\\Diablo III.exe");
  const std::wstring battleNet = std::wstring(L"SOFTWARE\\WOW6432Node\\") + Launchers::kBattleNetEntry;
  SetRegistryText(HKEY_LOCAL_MACHINE, battleNet, L"DisplayName", L"Diablo III");
  SetRegistryText(HKEY_LOCAL_MACHINE, battleNet, L"InstallLocation", diablo);
  SetRegistryText(HKEY_LOCAL_MACHINE, battleNet, L"UninstallString",
                  LR"("C:\ProgramData\Battle.net\Agent\Blizzard Uninstaller.exe" --lang=enUS --uid=diablo3_enus)");
  // Amazon Games: its SQLite list, made with SQLite, and the game's fuel.json.
  const std::wstring rune = dir / L"Amazon Games\\Library\\Rune Harbor";
  Exe(rune + L"\\RuneHarbor.exe");
  Exe(rune + L"\\Binaries\\Win64\\RuneHarbor.exe");
  test::WriteFileBytes(rune + L"\\fuel.json", "{\"SchemaVersion\": \"2\", \"Main\": {\"Command\": \"Binaries\\\\Win64\\\\RuneHarbor.exe\"}}");
  const std::wstring amazonList = Launchers::LocalAppData() + L"\\Amazon Games\\Data\\Games\\Sql\\GameInstallInfo.sqlite";
  test::MakeDirs(amazonList.substr(0, amazonList.find_last_of(L'\\')));
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(test::Utf8(amazonList).c_str(), &db), SQLITE_OK);
    std::string quoted;
    for (const char c : test::Utf8(rune)) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    const std::string statements =
        "CREATE TABLE DbSet (Id TEXT PRIMARY KEY, InstallDirectory TEXT, ProductTitle TEXT, Installed INTEGER);"
        "INSERT INTO DbSet VALUES ('amzn1.adg.product.1', '" + quoted + "', 'Rune Harbor', 1);";
    EXPECT_EQ(sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  const std::wstring fig = dir / L"Legendary\\FigQuest";
  Exe(fig + L"\\FigQuest.exe");
  Exe(fig + L"\\Bin\\Fig.exe");
  test::WriteFileBytes(Launchers::Profile() + L"\\.config\\legendary\\installed.json",
                       "{\"Fig\": {\"app_name\": \"Fig\", \"title\": \"Fig Quest\", \"install_path\": \"" + Escaped(fig) +
                           "\", \"executable\": \"Bin/Fig.exe\", \"platform\": \"Windows\", \"is_dlc\": false}}");

  const std::vector<Row> expected = {
      {steam + L"\\steamapps\\common\\Alpha", L"", L"Alpha Game"},
      {steam + L"\\steamapps\\common\\Ember", L"bin\\x64_dx12", L"Ember"},
      {y + L":\\Games\\steamapps\\common\\Beta", L"Beta\\Binaries\\Win64", L"Beta Game"},
      {gamma, L"GammaQuest\\Binaries\\Win64", L"Gamma Quest"},
      {delta, L"bin\\x64", L"Delta Saga"},
      {coral, L"Content\\CoralReach\\Binaries\\WinGDK", L"Coral Reach"},
      {old, L"", L"Old Title"},
      {farShore, L"", L"Far Shore 3"},
      {diablo, L"", L"Diablo III"},
      {rune, L"Binaries\\Win64", L"Rune Harbor"},
      {fig, L"Bin", L"Fig Quest"},
  };
  // zrcc-inspect names what the command will add, and adds nothing itself.
  const test::ProcessResult inspected = test::RunProcess(test::TestProgramFolder() + L"\\zrcc-inspect.exe", L"find");
  ASSERT_EQ(inspected.exitCode, 0u) << inspected.output;
  const nlohmann::json found = nlohmann::json::parse(inspected.output);
  std::vector<Row> listed;
  std::string sources, choices;
  for (const nlohmann::json& game : found["games"]) {
    listed.push_back({test::Wide(game["path"]), test::Wide(game["exeFolder"]), test::Wide(game["name"])});
    sources += game["source"].get<std::string>() + " ";
    choices += game["exeChoice"].get<std::string>() + " ";
  }
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(sources, "Steam Steam Steam Epic GOG Xbox EA Ubisoft Battle.net Amazon legendary ");
  EXPECT_EQ(choices, "fileName launcher unreal launcher launcher launcher fileName fileName fileName launcher launcher ")
      << "the launcher's executable wherever one is named";
  EXPECT_EQ(found["withoutExecutable"].size(), 1u);
  EXPECT_EQ(found["cannotBeChanged"], 1);
  EXPECT_EQ(found["skipped"].size(), 6u) << inspected.output;

  test::AppWindow app(dir.path());
  std::vector<std::vector<MenuEntry>> menus;
  SetPopupMenuHandler([&menus](HWND, POINT, const std::vector<MenuEntry>& entries) {
    menus.push_back(entries);
    return static_cast<int>(kIdFindGamesItem);
  });
  // The split button's arrow, as the button reports it.
  NMBCDROPDOWN arrow{};
  arrow.hdr = {app.control(kIdAddButton), static_cast<UINT_PTR>(kIdAddButton), static_cast<UINT>(BCN_DROPDOWN)};
  SendMessageW(app.window(), WM_NOTIFY, kIdAddButton, reinterpret_cast<LPARAM>(&arrow));
  app.WaitUntilLoaded();
  app.ExpectRowsMatchCatalogue();

  ASSERT_EQ(menus.size(), 1u);
  ASSERT_EQ(menus[0].size(), 3u);
  EXPECT_EQ(menus[0][0].command, kIdAddFolderItem);
  EXPECT_EQ(menus[0][0].text, L"Add Folder...");
  EXPECT_EQ(menus[0][1].text, L"Find Games on This PC");
  EXPECT_EQ(menus[0][2].text, L"Update All Outdated");
  EXPECT_EQ(Rows(app), expected);
  const std::wstring skipped =
      L"Skipped: library " + absent + L":\\SteamLibrary (drive not present); library \\\\server\\share\\SteamLibrary "
      L"(network folder); Epic manifest broken.item (not understood); Epic game Lost Game (folder not found); "
      L"GOG game Rootless (a whole drive, not a game folder); GOG game Nameless (no folder named).";
  ASSERT_EQ(app.boxes.boxes().size(), 1u) << "one summary, no box per game";
  EXPECT_EQ(app.boxes.boxes()[0].text,
            L"Found 13 games: 11 added (Steam 3, Epic 1, GOG 1, Xbox 1, EA 1, Ubisoft 1, Battle.net 1, Amazon 1, "
            L"legendary 1), "
            L"1 without an executable, 1 cannot be changed (protected Microsoft Store folders). " + skipped);
  EXPECT_EQ(app.boxes.boxes()[0].caption, L"Find Games on This PC");
  std::vector<Row> saved;  // as the search ended, before any close
  for (const GameListEntry& entry : ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini"))) {
    saved.push_back({entry.path, entry.exeFolder, entry.name});
  }
  EXPECT_EQ(saved, expected);

  // A second search, from a right-click on the button, adds nothing.
  MSG rightClick{app.control(kIdAddButton), WM_RBUTTONUP, 0, 0, 0, {}};
  DispatchWindowMessage(rightClick);
  app.WaitUntilLoaded();
  EXPECT_EQ(menus.size(), 2u);
  EXPECT_EQ(Rows(app), expected);
  ASSERT_EQ(app.boxes.boxes().size(), 2u);
  EXPECT_EQ(app.boxes.boxes()[1].text,
            L"Found 13 games: 0 added, 11 already in the list, 1 without an executable, 1 cannot be changed "
            L"(protected Microsoft Store folders). " + skipped);
  EXPECT_EQ(app.StatusText(), L"Games: 11");
  SetPopupMenuHandler(nullptr);
}

// Add Dir of a library Steam lists takes Steam's word too; the same library
// once Steam no longer names the installation is left to the name rules.
TEST(FindGames, AddDirOfASteamLibraryTakesWhatSteamStarts) {
  for (const bool registered : {true, false}) {
    TempDir dir;
    Launchers launchers;
    const std::wstring steam = dir / L"Steam";
    const std::wstring ember = steam + L"\\steamapps\\common\\Ember";
    Exe(ember + L"\\bin\\x64\\Ember.exe");
    Exe(ember + L"\\bin\\x64_dx12\\Ember.exe");
    test::WriteFileBytes(steam + L"\\steamapps\\appmanifest_30.acf",
                         "\"AppState\"\n{\n\t\"appid\"\t\t\"30\"\n\t\"name\"\t\t\"Ember\"\n\t\"installdir\"\t\t\"Ember\"\n}\n");
    test::AppInfoFile appinfo(40);
    appinfo.Add(30, test::AppKv(30, "Ember", {{"bin\\x64_dx12\\Ember.exe", "default", "windows", "64", ""}}));
    test::WriteFileBytes(steam + L"\\appcache\\appinfo.vdf", appinfo.Bytes());
    if (registered) SetRegistryText(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", steam);
    test::AppWindow app(dir.path());
    app.pickerAnswers = {steam};
    app.Press(kIdAddButton);
    ASSERT_EQ(app.RowCount(), 1);
    EXPECT_EQ(Rows(app)[0], (Row{ember, registered ? L"bin\\x64_dx12" : L"bin\\x64", L"Ember"}));
  }
}

TEST(FindGames, TheAddMenuOpensByKeyAndRightClickThroughTheOneCommandGate) {
  TempDir dir;
  test::AppWindow app(dir.path());
  int shown = 0;
  SetPopupMenuHandler([&shown](HWND, POINT, const std::vector<MenuEntry>&) {
    ++shown;
    return static_cast<int>(kIdAddFolderItem);
  });
  const HWND add = app.control(kIdAddButton);
  MSG rightClick{add, WM_RBUTTONUP, 0, 0, 0, {}};
  MSG altDown{add, WM_SYSKEYDOWN, VK_DOWN, 0, 0, {}};
  SetLoadingForTesting(true);  // as while a job runs: no menu
  DispatchWindowMessage(rightClick);
  DispatchWindowMessage(altDown);
  EXPECT_EQ(shown, 0);
  SetLoadingForTesting(false);
  SetFocus(add);
  DispatchWindowMessage(altDown);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(app.pickerTitles, std::vector<std::wstring>{L"Select a folder"}) << "\"Add Folder...\" is Add Dir";

  app.Press(kIdFindGamesItem);  // by its id, as any command
  ASSERT_EQ(app.boxes.boxes().size(), 1u);
  EXPECT_EQ(app.boxes.boxes()[0].text, L"Found no games.");
  SetPopupMenuHandler(nullptr);
}

}  // namespace
}  // namespace zrcc
