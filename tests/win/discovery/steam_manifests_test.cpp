// Steam app manifests on a real folder: which files are read, the size
// limit, what gives an entry, and the order when two manifests disagree.
#include "discovery/steam_manifests.h"

#include <gtest/gtest.h>

#include "core/paths.h"
#include "platform/win_handles.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

std::string Manifest(const std::string& name, const std::string& installdir) {
  return "\"AppState\"\n{\n\t\"appid\"\t\t\"42\"\n\t\"name\"\t\t\"" + name + "\"\n\t\"installdir\"\t\t\"" +
         installdir + "\"\n}\n";
}

class SteamManifestsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SteamGameNames.clear();
    steamapps = dir / L"SteamLibrary\\steamapps";
    test::MakeDirs(steamapps);
  }
  void Write(const std::wstring& name, const std::string& bytes) { test::WriteFileBytes(JoinPath(steamapps, name), bytes); }
  std::wstring Key(const std::wstring& installdir) const { return steamapps + L"\\common\\" + installdir; }
  // What the reads fill, as a job's own map.
  SteamNameMap SteamGameNames;

  TempDir dir;
  std::wstring steamapps;
};

TEST_F(SteamManifestsTest, RecordsNameUnderTheInstallFolderPath) {
  Write(L"appmanifest_1.acf", Manifest("Iron Coast 2077", "Iron Coast 2077"));
  Write(L"lines.acf", "\"name\"\r\n\r\n\"On Lines\"\n\"installdir\"      \"OnLines\"");
  Write(L"bom.acf", "\xEF\xBB\xBF" + Manifest("Caf\xC3\xA9", "Cafe"));
  Write(L"escaped.acf", Manifest("The \\\"Quoted\\\" AC\\\\DC", "Quoted"));  // as Steam escapes them
  Write(L"no_installdir.acf", "\"name\" \"Nameless\"");
  Write(L"empty_name.acf", Manifest("", "EmptyName"));
  Write(L"other_case.acf", "\"name\" \"Cased\" \"InstallDir\" \"Cased\"");
  ReadSteamManifests(steamapps, SteamGameNames);
  const SteamNameMap expected = {
      {Key(L"Iron Coast 2077"), L"Iron Coast 2077"},
      {Key(L"OnLines"), L"On Lines"},
      {Key(L"Cafe"), test::Wide("Caf\xC3\xA9")},
      {Key(L"Quoted"), L"The \"Quoted\" AC\\DC"},
  };
  EXPECT_EQ(SteamGameNames, expected);
}

TEST_F(SteamManifestsTest, ReadsOnlyFilesEndingInDotAcf) {
  Write(L"x.ACF", Manifest("Upper", "Upper"));
  Write(L".acf", Manifest("Dot", "Dot"));
  Write(L"x.acf.bak", Manifest("Bak", "Bak"));
  Write(L"sub.acf\\inner.acf", Manifest("Inner", "Inner"));  // a folder named like a manifest, and below it
  Write(L"y.acf", Manifest("Taken", "Taken"));
  ReadSteamManifests(steamapps, SteamGameNames);
  ASSERT_EQ(SteamGameNames.size(), 1u);
  EXPECT_EQ(SteamGameNames[Key(L"Taken")], L"Taken");
}

// A game with many DLC lists a depot for each in its manifest, after its
// name; such a manifest of 14 KiB names its game, and so does one of
// exactly 1 MiB. One past that is no manifest.
TEST_F(SteamManifestsTest, ManifestsUpToOneMebibyteAreRead) {
  std::string depots = "\t\"InstalledDepots\"\n\t{\n";
  while (depots.size() < 14 * 1024) {
    depots += "\t\t\"2400001\"\n\t\t{\n\t\t\t\"manifest\"\t\t\"7340000000000000001\"\n\t\t\t\"size\"\t\t\"1048576\"\n"
              "\t\t\t\"dlcappid\"\t\t\"2400001\"\n\t\t}\n";
  }
  std::string many = Manifest("Many DLC", "ManyDlc");
  many.insert(many.rfind('}'), depots + "\t}\n");
  Write(L"many.acf", many);
  std::string limit = Manifest("Limit", "Limit");
  limit.resize(1024 * 1024, ' ');
  std::string past = Manifest("Past", "Past");
  past.resize(1024 * 1024 + 1, ' ');
  Write(L"limit.acf", limit);
  Write(L"past.acf", past);
  ReadSteamManifests(steamapps, SteamGameNames);
  EXPECT_GT(many.size(), 14u * 1024);
  EXPECT_EQ(SteamGameNames, (SteamNameMap{{Key(L"ManyDlc"), L"Many DLC"}, {Key(L"Limit"), L"Limit"}}));
}

TEST_F(SteamManifestsTest, LaterListedManifestWinsAndEarlierEntriesStay) {
  SteamGameNames[L"D:\\Old\\steamapps\\common\\Kept"] = L"Kept";
  Write(L"a.acf", Manifest("First", "Same"));
  Write(L"b.acf", Manifest("Second", "Same"));
  std::vector<std::wstring> order;
  WIN32_FIND_DATAW data{};
  FindHandle find(FindFirstFileW(JoinPath(steamapps, L"*.acf").c_str(), &data));
  ASSERT_TRUE(find);
  do order.push_back(data.cFileName);
  while (FindNextFileW(find.get(), &data));
  ASSERT_EQ(order.size(), 2u);
  ReadSteamManifests(steamapps, SteamGameNames);
  EXPECT_EQ(SteamGameNames[Key(L"Same")], order[1] == L"b.acf" ? L"Second" : L"First");
  EXPECT_EQ(SteamGameNames[L"D:\\Old\\steamapps\\common\\Kept"], L"Kept");
  EXPECT_EQ(SteamGameNames.size(), 2u);
}

// Steam holds a manifest open for writing, or for deleting, while it
// updates the game; the game keeps its name all the same, and Steam can
// still replace the file while the program reads it.
TEST_F(SteamManifestsTest, ManifestsHeldOpenByOthersAreStillRead) {
  Write(L"busy.acf", Manifest("Busy", "Busy"));
  Write(L"going.acf", Manifest("Going", "Going"));
  UniqueHandle writer(CreateFileW(JoinPath(steamapps, L"busy.acf").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  UniqueHandle deleter(CreateFileW(JoinPath(steamapps, L"going.acf").c_str(), DELETE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer && deleter);
  ReadSteamManifests(steamapps, SteamGameNames);
  EXPECT_EQ(SteamGameNames[Key(L"Busy")], L"Busy");
  EXPECT_EQ(SteamGameNames[Key(L"Going")], L"Going");
}

TEST_F(SteamManifestsTest, WorksInFoldersBeyondTheClassicPathLimit) {
  std::wstring deep = dir / L"Library";
  for (int i = 0; i < 4; ++i) deep += L"\\" + std::wstring(70, static_cast<wchar_t>(L'k' + i));
  deep += L"\\steamapps";
  ASSERT_GT(deep.size(), 300u);
  test::WriteFileBytes(deep + L"\\appmanifest_7.acf", Manifest("Deep", "Deep Game"));
  ReadSteamManifests(deep, SteamGameNames);
  EXPECT_EQ(SteamGameNames[deep + L"\\common\\Deep Game"], L"Deep");
  ReadSteamManifests(steamapps + L"\\missing", SteamGameNames);  // an unlistable folder changes nothing
  EXPECT_EQ(SteamGameNames.size(), 1u);
}

}  // namespace
}  // namespace zrcc
