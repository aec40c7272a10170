// Each launcher's reader on a real disk and registry, with the files and
// keys laid out as the launchers write them (keys in the test prefix,
// removed again afterwards; an Xbox library on a second drive letter; an
// appinfo.vdf of each version and an SQLite list made here), and the
// hostile versions of those files: cut short, too large, entity tricks,
// databases that are locked, damaged or of another layout.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "core/paths.h"
#include "deploy/version_reader.h"
#include "discovery/launcher_amazon.h"
#include "discovery/launcher_ea.h"
#include "discovery/launcher_heroic.h"
#include "discovery/launcher_ubisoft.h"
#include "discovery/launcher_uninstall_list.h"
#include "discovery/launcher_xbox.h"
#include "discovery/launcher_xml.h"
#include "discovery/steam_launch.h"
#include "platform/xml_reader.h"
#include "pure/appinfo_builder.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

void Exe(const std::wstring& path) { test::CopyFileOrFail(test::Fixture(L"plain.exe"), path); }

std::string Escaped(const std::wstring& path) {  // a path inside JSON quotes
  std::string out;
  for (const char c : test::Utf8(path)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
  wchar_t* path = nullptr;
  SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path);
  std::wstring folder = path ? path : L"";
  CoTaskMemFree(path);
  return folder;
}

// Registry values as a launcher's installer writes them; every tree made is
// removed when the object goes away.
class RegistryTrees {
 public:
  ~RegistryTrees() {
    for (const auto& [root, key] : trees_) RegDeleteTreeW(root, key.c_str());
  }
  void Set(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value, const std::wstring& tree) {
    if (std::find(trees_.begin(), trees_.end(), std::pair{root, tree}) == trees_.end()) trees_.emplace_back(root, tree);
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr), ERROR_SUCCESS);
    RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
  }

 private:
  std::vector<std::pair<HKEY, std::wstring>> trees_;
};

struct Found {
  std::wstring path, name, executable;
  bool operator==(const Found&) const = default;
};
void PrintTo(const Found& f, std::ostream* out) { *out << test::Utf8(f.path + L" | " + f.name + L" | " + f.executable); }

std::vector<Found> Games(const GameSearch& search) {
  std::vector<Found> games;
  for (const FoundGame& game : search.games) games.push_back({game.path, game.name, game.executable});
  return games;
}

std::wstring Skips(const GameSearch& search) {
  std::wstring text;
  for (const FindSkip& skip : search.skipped) text += FindSkipText(skip) + L"; ";
  return text;
}

// --- The XML reader and the three XML files ---------------------------------

const char kAppxManifest[] =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<Package xmlns=\"http://schemas.microsoft.com/appx/manifest/foundation/windows10\" "
    "xmlns:uap=\"http://schemas.microsoft.com/appx/manifest/uap/windows10\" IgnorableNamespaces=\"uap\">\r\n"
    "  <Identity Name=\"Contoso.IronCoast\" Publisher=\"CN=Contoso\" Version=\"1.0.2.0\" ProcessorArchitecture=\"x64\"/>\r\n"
    "  <Properties><DisplayName>Iron Coast &amp; Co</DisplayName><PublisherDisplayName>Contoso</PublisherDisplayName>"
    "<Logo>StoreLogo.png</Logo></Properties>\r\n"
    "  <Applications><Application Id=\"Game\" Executable=\"GameLaunchHelper.exe\" EntryPoint=\"Windows.FullTrustApplication\">"
    "<uap:VisualElements DisplayName=\"ms-resource:Title\" Square150x150Logo=\"x.png\"/></Application></Applications>\r\n"
    "</Package>\r\n";

const char kGameConfig[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Game configVersion=\"1\">\n"
    "  <Identity Name=\"Contoso.IronCoast\" Publisher=\"CN=Contoso\" Version=\"1.0.2.0\"/>\n"
    "  <ExecutableList>\n"
    "    <Executable Name=\"Tools\\CrashUploader.exe\" Id=\"Uploader\"/>\n"
    "    <Executable Name=\"IronCoast\\Binaries\\WinGDK\\IronCoast-WinGDK-Shipping.exe\" Id=\"Game\" "
    "TargetDeviceFamily=\"PC\"/>\n"
    "  </ExecutableList>\n  <ShellVisuals DefaultDisplayName=\"Iron Coast\"/>\n</Game>\n";

const char kInstallerData[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DiPManifest version=\"4.0\">\n"
    "  <gameTitles><gameTitle locale=\"de_DE\">Eiserne K\xC3\xBCste</gameTitle>"
    "<gameTitle locale=\"en_US\">Iron Coast\xE2\x84\xA2</gameTitle></gameTitles>\n"
    "  <runtime>\n"
    "    <launcher uid=\"trial\"><filePath>[HKEY_LOCAL_MACHINE\\SOFTWARE\\Contoso\\Iron Coast\\Install Dir]Trial.exe"
    "</filePath><trial>1</trial></launcher>\n"
    "    <launcher uid=\"32\"><filePath>[HKEY_LOCAL_MACHINE\\SOFTWARE\\Contoso\\Iron Coast\\Install Dir]bin\\ic32.exe"
    "</filePath><requires64BitOS>0</requires64BitOS><trial>0</trial></launcher>\n"
    "    <launcher uid=\"64\"><filePath>[HKEY_LOCAL_MACHINE\\SOFTWARE\\Contoso\\Iron Coast\\Install Dir]bin\\ic64.exe"
    "</filePath><requires64BitOS>1</requires64BitOS><trial>0</trial></launcher>\n"
    "  </runtime>\n</DiPManifest>\n";

std::string Utf16(const std::string& utf8) {
  const std::wstring wide = test::Wide(utf8);
  std::string bytes = "\xFF\xFE";
  for (const wchar_t c : wide) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

TEST(LauncherXml, ReadsTheFilesAsLaunchersWriteThem) {
  const std::optional<AppxManifest> manifest = ReadAppxManifest(kAppxManifest);
  ASSERT_TRUE(manifest);
  EXPECT_EQ(manifest->identityName, L"Contoso.IronCoast");
  EXPECT_EQ(manifest->displayName, L"Iron Coast & Co");
  EXPECT_EQ(manifest->applicationId, L"Game");
  EXPECT_EQ(manifest->executable, L"GameLaunchHelper.exe");
  std::string resourceNamed = kAppxManifest;
  resourceNamed.replace(resourceNamed.find("Iron Coast &amp; Co"), 19, "ms-resource:AppDisplayName");
  EXPECT_EQ(ReadAppxManifest(resourceNamed)->displayName, L"");
  EXPECT_EQ(ReadAppxManifest(Utf16(kAppxManifest + 3))->displayName, L"Iron Coast & Co") << "UTF-16 as some tools save it";

  EXPECT_EQ(ReadGameConfigExecutable(kGameConfig, L"Game"), L"IronCoast\\Binaries\\WinGDK\\IronCoast-WinGDK-Shipping.exe");
  EXPECT_EQ(ReadGameConfigExecutable(kGameConfig, L""), L"Tools\\CrashUploader.exe") << "no id to match: the first";

  const std::optional<InstallerData> data = ReadInstallerData(kInstallerData);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->name, L"Iron Coast\u2122");
  EXPECT_EQ(data->launchPath, L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Contoso\\Iron Coast\\Install Dir]bin\\ic64.exe");
}

TEST(LauncherXml, HostileFilesAreRefusedWhole) {
  // Every cut of every file, in UTF-8 and UTF-16, is refused, never half
  // read (and never hangs or stops the process, as Wine's reader would on
  // some of them).
  for (const std::string& whole : {std::string(kAppxManifest), Utf16(kAppxManifest + 3), std::string(kGameConfig),
                                   std::string(kInstallerData)}) {
    const size_t end = whole.rfind('>') + (whole[1] == 0 || whole[0] == '\xFF' ? 2 : 1);
    for (size_t length = 0; length < end; ++length) {
      const std::string cut = whole.substr(0, length);
      EXPECT_EQ(ReadXmlDocument(cut, {}), XmlRead::Malformed) << length;
    }
    EXPECT_EQ(ReadXmlDocument(whole.substr(0, end), {}), XmlRead::Read);
  }
  for (const std::string& junk : std::vector<std::string>{"", ">", "<>", "\xEF\xBB\xBF>", std::string("\xFF\xFE>\0", 4), "<a", "<?xml?>",
                                 "<a/><b/>", "</a>", "<a></b>", "\xFF<a/>"}) {
    EXPECT_EQ(ReadXmlDocument(junk, {}), XmlRead::Malformed) << junk;
  }
  // Entities of the file's own: the document type is refused before any expands.
  const std::string laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE Package [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
      "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
      "<Package><Properties><DisplayName>&d;</DisplayName></Properties></Package>";
  EXPECT_EQ(ReadAppxManifest(laughs), std::nullopt);
  const std::string outside =
      "<?xml version=\"1.0\"?><!DOCTYPE Game [<!ENTITY x SYSTEM \"file:///C:/windows/win.ini\">]>"
      "<Game><ExecutableList><Executable Name=\"&x;\"/></ExecutableList></Game>";
  EXPECT_EQ(ReadGameConfigExecutable(outside, L""), std::nullopt);
  std::string deep = "<Game>";
  for (int i = 0; i < 200; ++i) deep += "<a>";
  for (int i = 0; i < 200; ++i) deep += "</a>";
  EXPECT_EQ(ReadGameConfigExecutable(deep + "<ExecutableList><Executable Name=\"x.exe\"/></ExecutableList></Game>", L""),
            std::nullopt);
  EXPECT_EQ(ReadInstallerData(std::string("<DiPManifest>\0</DiPManifest>", 28)), std::nullopt);
  EXPECT_EQ(ReadInstallerData(""), std::nullopt);
  EXPECT_EQ(ReadAppxManifest("<NotAPackage/>"), std::nullopt);
}

// --- Xbox --------------------------------------------------------------------

std::string GamingRoot(const std::vector<std::wstring>& folders) {
  std::string bytes = "RGBX";
  bytes += static_cast<char>(folders.size());
  bytes += std::string(3, '\0');
  for (const std::wstring& folder : folders) {
    for (const wchar_t unit : folder + L'\0') {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
  }
  return bytes;
}

TEST(XboxGames, FindsEachDrivesLibrariesAndCountsProtectedStoreFolders) {
  TempDir dir;
  const std::wstring driveFolder = dir / L"DriveX";
  // A game made with the game kit: the manifest names its launch helper,
  // the game config the real executable.
  const std::wstring iron = driveFolder + L"\\XboxGames\\Iron Coast";
  test::WriteFileBytes(iron + L"\\Content\\appxmanifest.xml", kAppxManifest);
  test::WriteFileBytes(iron + L"\\Content\\MicrosoftGame.config", kGameConfig);
  Exe(iron + L"\\Content\\GameLaunchHelper.exe");
  Exe(iron + L"\\Content\\IronCoast\\Binaries\\WinGDK\\IronCoast-WinGDK-Shipping.exe");
  // A package named only by a resource, its manifest beside the files.
  const std::wstring halcyon = driveFolder + L"\\XboxGames\\Halcyon";
  std::string named = kAppxManifest;
  named.replace(named.find("Iron Coast &amp; Co"), 19, "ms-resource:AppDisplayName");
  named.replace(named.find("GameLaunchHelper.exe"), 20, "bin\\Halcyon.exe");
  test::WriteFileBytes(halcyon + L"\\appxmanifest.xml", named);
  Exe(halcyon + L"\\bin\\Halcyon.exe");
  test::MakeDirs(driveFolder + L"\\XboxGames\\GameSave");  // the app's own folder: no package
  test::WriteFileBytes(driveFolder + L"\\XboxGames\\Broken\\Content\\appxmanifest.xml", "<Package><Identity");
  test::WriteFileBytes(driveFolder + L"\\.GamingRoot", GamingRoot({L"XboxGames", L"..\\Elsewhere", L"WindowsApps"}));
  test::MakeDirs(driveFolder + L"\\WindowsApps");

  // An older install under the system's protected Store folder.
  const std::wstring windowsApps = KnownFolder(FOLDERID_ProgramFiles) + L"\\WindowsApps";
  ASSERT_FALSE(test::DirExists(windowsApps));
  const std::wstring package = windowsApps + L"\\Contoso.Halcyon_1.0.0.0_x64__8wekyb3d8bbwe";
  test::WriteFileBytes(package + L"\\MicrosoftGame.config", kGameConfig);
  test::MakeDirs(windowsApps + L"\\Microsoft.VCLibs.140.00_14.0.30704.0_x64__8wekyb3d8bbwe");  // no game

  test::WineDrive drive(driveFolder);
  ASSERT_TRUE(drive.ok());
  const std::wstring root = drive.root();
  const XboxSearch search = SearchXboxGames();
  test::RemoveTree(windowsApps);

  const std::vector<Found> expected = {
      {root + L"Halcyon", L"Halcyon", L"bin\\Halcyon.exe"},
      {root + L"XboxGames\\Iron Coast", L"Iron Coast & Co",
       L"Content\\IronCoast\\Binaries\\WinGDK\\IronCoast-WinGDK-Shipping.exe"},
  };
  std::vector<Found> found = Games(search.found);
  for (Found& game : found) {
    if (game.path.starts_with(root + L"XboxGames\\Halcyon")) game.path = root + L"Halcyon";
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.name < b.name; });
  ASSERT_EQ(found.size(), 3u) << Skips(search.found);  // Broken has a package, named after its folder
  EXPECT_EQ(found[0].name, L"Broken");
  EXPECT_EQ(found[0].executable, L"");
  EXPECT_EQ(found[1], expected[0]);
  EXPECT_EQ(found[2], expected[1]);
  EXPECT_EQ(Skips(search.found), L"Xbox manifest " + root + L"XboxGames\\Broken\\Content\\appxmanifest.xml (not understood); ");
  EXPECT_EQ(search.cannotBeChanged, (std::vector<std::wstring>{root + L"WindowsApps", package}));
}

// --- EA, Origin, Ubisoft, the uninstall list ------------------------------------

TEST(EaGames, RegistryEntriesAndOriginManifestsWithTheirInstallersLaunchExecutable) {
  TempDir dir;
  RegistryTrees registry;
  const std::wstring iron = dir / L"EA Games\\Iron Coast";
  test::WriteFileBytes(iron + L"\\__Installer\\installerdata.xml", kInstallerData);
  Exe(iron + L"\\bin\\ic64.exe");
  registry.Set(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\EA Games\\Iron Coast", L"Install Dir", iron + L"\\",
               L"SOFTWARE\\WOW6432Node\\EA Games");
  registry.Set(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\EA Games\\Iron Coast", L"DisplayName", L"x",
               L"SOFTWARE\\WOW6432Node\\EA Games");
  const std::wstring old = dir / L"Origin Games\\Old Title";
  Exe(old + L"\\old.exe");
  registry.Set(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Origin Games\\OFB-EAST:1234", L"InstallDir", old,
               L"SOFTWARE\\WOW6432Node\\Origin Games");
  registry.Set(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\EA Games\\Gone", L"Install Dir", dir / L"Gone",
               L"SOFTWARE\\WOW6432Node\\EA Games");
  // Origin's manifests: one for a game installed by Origin, one of a Steam
  // game it links to, one damaged.
  const std::wstring content = KnownFolder(FOLDERID_ProgramData) + L"\\Origin";
  ASSERT_FALSE(test::DirExists(content));
  const std::wstring legacy = dir / L"Legacy Game";
  Exe(legacy + L"\\legacy.exe");
  std::string encoded;
  for (const char c : test::Utf8(legacy + L"\\")) {
    static const char hex[] = "0123456789ABCDEF";
    if (isalnum(static_cast<unsigned char>(c))) encoded += c;
    else encoded += std::string("%") + hex[(c >> 4) & 0xF] + hex[c & 0xF];
  }
  test::WriteFileBytes(content + L"\\LocalContent\\Legacy Game\\OFR.1.mfst",
                       "?currentstate=kReadyToStart&id=Origin.OFR.50.0000001&dipinstallpath=" + encoded + "\n");
  test::WriteFileBytes(content + L"\\LocalContent\\Steamy\\s.mfst", "?id=Origin.OFR.50.0000002@steam&dipinstallpath=" + encoded);
  test::WriteFileBytes(content + L"\\LocalContent\\Steamy\\bad.mfst", "?id=X&dipinstallpath=%ZZ");

  const GameSearch search = SearchEaGames();
  test::RemoveTree(content);
  const std::vector<Found> expected = {
      {iron, L"Iron Coast\u2122", L"bin\\ic64.exe"},
      {old, L"Old Title", L""},
      {legacy, L"Legacy Game", L""},
  };
  EXPECT_EQ(Games(search), expected);
  EXPECT_EQ(Skips(search), L"EA game Gone (folder not found); EA manifest bad.mfst (not understood); ");
}

TEST(UbisoftAndUninstallList, OnlyTheLaunchersGamesWithTheFoldersTheyName) {
  TempDir dir;
  RegistryTrees registry;
  const std::wstring farShore = dir / L"Ubisoft\\games\\Far Shore 3";
  Exe(farShore + L"\\FarShore3.exe");
  std::wstring forward = farShore + L"/";
  std::replace(forward.begin(), forward.end(), L'\\', L'/');
  registry.Set(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Ubisoft\\Launcher\\Installs\\5595", L"InstallDir", forward,
               L"SOFTWARE\\WOW6432Node\\Ubisoft");
  registry.Set(HKEY_LOCAL_MACHINE, L"SOFTWARE\\WOW6432Node\\Ubisoft\\Launcher\\Installs\\11", L"InstallDir",
               L"C:/Games/a:b/", L"SOFTWARE\\WOW6432Node\\Ubisoft");
  const GameSearch ubisoft = SearchUbisoftGames();
  ASSERT_EQ(Games(ubisoft).size(), 1u) << Skips(ubisoft);
  EXPECT_EQ(Games(ubisoft)[0], (Found{farShore, L"Far Shore 3", L""}));
  EXPECT_EQ(Skips(ubisoft), L"Ubisoft game 11 (not a full path); ");

  const std::wstring uninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  const std::wstring uninstall32 = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  const auto entry = [&](HKEY root, const std::wstring& list, const std::wstring& id, const std::wstring& name,
                         const std::wstring& folder, const std::wstring& command) {
    registry.Set(root, list + id, L"DisplayName", name, list + id);
    registry.Set(root, list + id, L"InstallLocation", folder, list + id);
    registry.Set(root, list + id, L"UninstallString", command, list + id);
  };
  const std::wstring diablo = dir / L"Blizzard\\Diablo III";
  const std::wstring diabloPtr = dir / L"Blizzard\\Diablo III Public Test";
  const std::wstring gta = dir / L"Rockstar Games\\Grand Theft Auto V";
  const std::wstring notepad = dir / L"Editors\\Notepad Plus";
  for (const std::wstring& folder : {diablo, diabloPtr, gta, notepad}) test::MakeDirs(folder);
  const std::wstring agent = LR"("C:\ProgramData\Battle.net\Agent\Blizzard Uninstaller.exe" --lang=enUS )";
  entry(HKEY_LOCAL_MACHINE, uninstall32, L"Diablo III", L"Diablo III", diablo, agent + L"--uid=diablo3_enus");
  entry(HKEY_LOCAL_MACHINE, uninstall32, L"Diablo III Test", L"Diablo III Test", diabloPtr, agent + L"--uid=d3ptr");
  entry(HKEY_LOCAL_MACHINE, uninstall, L"Rockstar Games Launcher", L"Rockstar Games Launcher", dir / L"Rockstar Games\\Launcher",
        LR"("C:\Program Files\Rockstar Games\Launcher\uninstall.exe" -uninstall=launcher)");
  entry(HKEY_CURRENT_USER, uninstall, L"{5EFC6C07-6B87-43FC-9524-F9E967241741}", L"Grand Theft Auto V", gta,
        LR"("C:\Program Files\Rockstar Games\Launcher\Launcher.exe" -uninstall=gta5)");
  entry(HKEY_LOCAL_MACHINE, uninstall, L"Notepad Plus", L"Notepad Plus", notepad, notepad + L"\\uninstall.exe");
  const GameSearch listed = SearchUninstallListGames();
  std::vector<Found> games = Games(listed);
  std::sort(games.begin(), games.end(), [](const Found& a, const Found& b) { return a.name < b.name; });
  EXPECT_EQ(games, (std::vector<Found>{{diablo, L"Diablo III", L""}, {gta, L"Grand Theft Auto V", L""}}))
      << Skips(listed);
}

// --- Heroic, legendary, Amazon ---------------------------------------------------

TEST(HeroicGames, LegendaryAndHeroicListsWithTheirExecutables) {
  TempDir dir;
  const std::wstring profileConfig = KnownFolder(FOLDERID_Profile) + L"\\.config\\legendary";
  const std::wstring heroic = KnownFolder(FOLDERID_RoamingAppData) + L"\\heroic";
  ASSERT_FALSE(test::DirExists(profileConfig));
  ASSERT_FALSE(test::DirExists(heroic));
  const std::wstring fig = dir / L"Legendary\\FigQuest";
  Exe(fig + L"\\Bin\\Fig.exe");
  test::WriteFileBytes(profileConfig + L"\\installed.json",
                       "{\"Fig\": {\"app_name\": \"Fig\", \"title\": \"Fig Quest\", \"install_path\": \"" + Escaped(fig) +
                           "\", \"executable\": \"Bin/Fig.exe\", \"platform\": \"Windows\", \"is_dlc\": false},"
                           " \"Out\": {\"app_name\": \"Out\", \"install_path\": \"" + Escaped(fig) +
                           "\", \"executable\": \"..\\\\..\\\\x.exe\"}}");
  const std::wstring delta = dir / L"Heroic\\Delta";
  Exe(delta + L"\\delta.exe");
  test::WriteFileBytes(heroic + L"\\gog_store\\installed.json",
                       "{\"installed\": [{\"appName\": \"1207658924\", \"platform\": \"windows\", \"install_path\": \"" +
                           Escaped(delta) + "\", \"executable\": \"delta.exe\"}]}");
  test::WriteFileBytes(heroic + L"\\legendaryConfig\\legendary\\installed.json", "{\"cut\": {");
  const GameSearch search = SearchHeroicGames();
  test::RemoveTree(KnownFolder(FOLDERID_Profile) + L"\\.config");
  test::RemoveTree(heroic);
  EXPECT_EQ(Games(search), (std::vector<Found>{{fig, L"Fig Quest", L"Bin\\Fig.exe"}, {delta, L"1207658924", L"delta.exe"}}));
  ASSERT_EQ(search.skipped.size(), 1u) << Skips(search);
  EXPECT_EQ(search.skipped[0].reason, SkipReason::NotUnderstood);
}

// The launcher's database, made with SQLite as the launcher's own library
// makes it.
void MakeAmazonDatabase(const std::wstring& path, const std::vector<std::string>& statements) {
  test::MakeDirs(path.substr(0, path.find_last_of(L'\\')));
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(test::Utf8(path).c_str(), &db), SQLITE_OK);
  for (const std::string& statement : statements) {
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
  }
  sqlite3_close(db);
}

std::string Quoted(const std::wstring& text) {
  std::string out = "'";
  for (const char c : test::Utf8(text)) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

TEST(AmazonGames, TheSqliteListAndEachGamesFuelFile) {
  TempDir dir;
  const std::wstring database = dir / L"Amazon Games\\Data\\Games\\Sql\\GameInstallInfo.sqlite";
  const std::wstring rune = dir / L"Amazon Games\\Library\\Rune Harbor";
  const std::wstring quiet = dir / L"Amazon Games\\Library\\Quiet Orchard";
  Exe(rune + L"\\Binaries\\Win64\\RuneHarbor.exe");
  test::WriteFileBytes(rune + L"\\fuel.json",
                       "{\"SchemaVersion\": \"2\", \"Main\": {\"Command\": \"Binaries\\\\Win64\\\\RuneHarbor.exe\", "
                       "\"Args\": []}}");
  Exe(quiet + L"\\quiet.exe");
  const std::string table =
      "CREATE TABLE DbSet (Id TEXT PRIMARY KEY, InstallDirectory TEXT, ProductTitle TEXT, Installed INTEGER, "
      "ProductAsin TEXT, InstallDate TEXT)";
  MakeAmazonDatabase(database,
                     {table, "INSERT INTO DbSet VALUES ('amzn1.adg.product.1', " + Quoted(rune) +
                                 ", 'Rune Harbor', 1, 'B0', '2024')",
                      "INSERT INTO DbSet VALUES ('amzn1.adg.product.2', " + Quoted(quiet) +
                          ", 'Quiet Orchard', 1, 'B1', '2024')",
                      "INSERT INTO DbSet VALUES ('amzn1.adg.product.3', " + Quoted(dir / L"Uninstalled") +
                          ", 'Uninstalled', 0, 'B2', '2023')",
                      "INSERT INTO DbSet VALUES ('amzn1.adg.product.4', X'433A5C00', 'Blob', 1, 'B3', '2023')"});
  const GameSearch search = SearchAmazonDatabase(database);
  EXPECT_EQ(Games(search), (std::vector<Found>{{rune, L"Rune Harbor", L"Binaries\\Win64\\RuneHarbor.exe"},
                                               {quiet, L"Quiet Orchard", L""}}));
  EXPECT_EQ(Skips(search), L"");

  // The launcher writing: the database is waited for, then skipped as locked.
  {
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(test::Utf8(database).c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto start = std::chrono::steady_clock::now();
    const GameSearch locked = SearchAmazonDatabase(database);
    const auto waited = std::chrono::steady_clock::now() - start;
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    EXPECT_TRUE(locked.games.empty());
    EXPECT_EQ(Skips(locked), L"Amazon list " + database + L" (locked); ");
    EXPECT_LT(waited, std::chrono::seconds(10));
  }
  // Damaged, of another layout, a view that would never end, missing.
  const std::string bytes = test::ReadFileBytes(database);
  test::WriteFileBytes(database, bytes.substr(0, 100) + std::string(bytes.size() - 100, '\x5A'));
  EXPECT_EQ(Skips(SearchAmazonDatabase(database)), L"Amazon list " + database + L" (not understood); ");
  test::WriteFileBytes(database, "SQLite format 3");
  EXPECT_EQ(Skips(SearchAmazonDatabase(database)), L"Amazon list " + database + L" (not understood); ");
  for (const std::string& layout :
       {std::string("CREATE TABLE Games (Id TEXT)"),
        std::string("CREATE TABLE DbSet (Id TEXT, Installed INTEGER)"),
        std::string("CREATE VIEW DbSet AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                    "SELECT 'x' AS Id, 'C:\\' AS InstallDirectory, 'x' AS ProductTitle, 1 AS Installed FROM n")}) {
    DeleteFileW(database.c_str());
    MakeAmazonDatabase(database, {layout});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Skips(SearchAmazonDatabase(database)), L"Amazon list " + database + L" (not understood); ") << layout;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << layout;
  }
  DeleteFileW(database.c_str());
  EXPECT_EQ(Skips(SearchAmazonDatabase(database)), L"");
}

// --- Steam's launch entries, and the machine type of an executable ------------------

TEST(SteamLaunch, TheLaunchEntrysExecutableOfEachVersionOfAppinfo) {
  for (const uint32_t version : {39u, 40u, 41u}) {
    TempDir dir;
    const std::wstring steam = dir / L"Steam";
    const std::wstring library = dir / L"Library";
    const std::wstring game = library + L"\\steamapps\\common\\Iron Coast";
    Exe(game + L"\\bin\\x64\\game.exe");
    Exe(game + L"\\bin\\x64_dx12\\game.exe");
    Exe(steam + L"\\steamapps\\common\\Halcyon\\Halcyon.exe");
    test::WriteFileBytes(library + L"\\steamapps\\appmanifest_10.acf",
                         "\"AppState\"\n{\n\t\"appid\"\t\t\"10\"\n\t\"name\"\t\t\"Iron Coast\"\n\t\"installdir\"\t\t"
                         "\"Iron Coast\"\n\t\"UserConfig\"\n\t{\n\t}\n}\n");
    test::WriteFileBytes(steam + L"\\steamapps\\appmanifest_20.acf",
                         "\"AppState\"\n{\n\t\"appid\"\t\t\"20\"\n\t\"installdir\"\t\t\"Halcyon\"\n}\n");
    test::AppInfoFile appinfo(version);
    appinfo.Add(5, test::AppKv(5, "Other", {{"other.exe", "", "", "", ""}}));
    appinfo.Add(10, test::AppKv(10, "Iron Coast", {{"bin\\x64_dx12\\game.exe", "default", "windows", "64", ""},
                                                  {"bin\\x64\\game.exe", "option1", "windows", "64", ""}}));
    appinfo.Add(20, test::AppKv(20, "Halcyon", {{"missing\\Halcyon.exe", "", "", "64", ""},
                                               {"Halcyon.exe", "", "", "32", ""}}));
    const std::string bytes = appinfo.Bytes();
    test::WriteFileBytes(steam + L"\\appcache\\appinfo.vdf", bytes);
    const SteamLaunches launches = ReadSteamLaunchExecutables(steam, {steam, library});
    ASSERT_EQ(launches.games.size(), 2u) << version;
    EXPECT_EQ(launches.games[0].gameFolder, steam + L"\\steamapps\\common\\Halcyon");
    EXPECT_EQ(launches.games[0].executable, L"Halcyon.exe") << "the first that is there";
    EXPECT_EQ(launches.games[1].gameFolder, game);
    EXPECT_EQ(launches.games[1].executable, L"bin\\x64_dx12\\game.exe");
    EXPECT_TRUE(launches.skipped.empty());
    if (version == 39) {
      // Cut inside the last app: the apps before it, and the damage named.
      test::WriteFileBytes(steam + L"\\appcache\\appinfo.vdf", bytes.substr(0, bytes.size() - 40));
      const SteamLaunches cut = ReadSteamLaunchExecutables(steam, {steam, library});
      ASSERT_EQ(cut.games.size(), 1u);
      EXPECT_EQ(cut.games[0].executable, L"bin\\x64_dx12\\game.exe");
      ASSERT_EQ(cut.skipped.size(), 1u);
      EXPECT_EQ(cut.skipped[0].reason, SkipReason::Damaged);
    }
  }
}

// 64-bit programs of the system, and its 32-bit ones where it has them
// (Windows' SysWOW64; a Wine prefix without 32-bit support has none: the
// 32-bit header is then covered by the image-builder tests alone).
TEST(ExecutableFacts, TheMachineTypeIsTheOneTheSystemSees) {
  const std::wstring system32 = KnownFolder(FOLDERID_System);
  const std::wstring wow64 = KnownFolder(FOLDERID_SystemX86);
  const std::wstring wine32 = L"Z:\\usr\\lib\\x86_64-linux-gnu\\wine\\i386-windows";
  size_t compared[2] = {0, 0};
  for (const std::wstring& exe : {test::Fixture(L"plain.exe"), system32 + L"\\notepad.exe", system32 + L"\\cmd.exe",
                                  wow64 + L"\\notepad.exe", wow64 + L"\\cmd.exe", wine32 + L"\\zlib1.dll"}) {
    DWORD type = 0;
    if (!GetBinaryTypeW(exe.c_str(), &type) || (type != SCS_64BIT_BINARY && type != SCS_32BIT_BINARY)) continue;
    ++compared[type == SCS_64BIT_BINARY ? 0 : 1];
    EXPECT_EQ(ReadExecutableFacts(exe).machine, type == SCS_64BIT_BINARY ? PeMachine::X64 : PeMachine::X86)
        << test::Utf8(exe);
  }
  EXPECT_GE(compared[0], 2u);
  std::cout << "[ machine  ] compared with the system: " << compared[0] << " 64-bit, " << compared[1] << " 32-bit\n";
  EXPECT_EQ(ReadExecutableFacts(test::Fixture(L"plain.exe")).machine, PeMachine::X64);
}

}  // namespace
}  // namespace zrcc
