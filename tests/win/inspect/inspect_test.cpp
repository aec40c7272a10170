// zrcc-inspect run as a process on real folders, its JSON parsed back.
#include <windows.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/game_list_file.h"
#include "core/sha256.h"
#include "helpers/data_file.h"
#include "platform/win_handles.h"
#include "pure/pe_image_builder.h"
#include "pure/version_block_builder.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using nlohmann::json;
using test::TempDir;

test::ProcessResult Inspect(const std::wstring& arguments) {
  return test::RunProcess(test::TestProgramFolder() + L"\\zrcc-inspect.exe", arguments);
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

void CopyFixture(const std::wstring& fixture, const std::wstring& to) {
  test::MakeDirs(to.substr(0, to.find_last_of(L'\\')));
  ASSERT_TRUE(CopyFileW((test::Fixture(fixture)).c_str(), to.c_str(), FALSE));
}

TEST(Inspect, GameReportsWhatAForcedRefreshFinds) {
  TempDir dir;
  const std::wstring game = dir / L"Halcyon";
  CopyFixture(L"plain.exe", game + L"\\x64\\Halcyon.exe");
  CopyFixture(L"zandrivell.dll", game + L"\\x64\\ZandRivell.dll");
  const test::ProcessResult r = Inspect(L"game " + Quoted(game));
  ASSERT_EQ(r.exitCode, 0u) << r.output;
  const json j = json::parse(r.output);
  EXPECT_EQ(j["path"], test::Utf8(game));
  EXPECT_EQ(j["exeFolder"], "x64");
  EXPECT_EQ(j["modState"], 1);
  EXPECT_EQ(j["status"], "Copied");
  EXPECT_EQ(j["modVersion"], "1.2.3");
  EXPECT_EQ(j["buildVersion"], "build 456");
  EXPECT_GT(j["sizeBytes"].get<uint64_t>(), 0u);
  EXPECT_EQ(j["noExecutable"], false);
  EXPECT_EQ(j["exeChoice"], "fileName");

  // Named apart from its folder: taken by the fallback, the launcher left.
  const std::wstring harbor = dir / L"Crimson Harbor Redux";
  CopyFixture(L"plain.exe", harbor + L"\\Launcher.exe");
  CopyFixture(L"plain.exe", harbor + L"\\bin\\chr.exe");
  const json h = json::parse(Inspect(L"game " + Quoted(harbor)).output);
  EXPECT_EQ(h["exeFolder"], "bin");
  EXPECT_EQ(h["exeChoice"], "fallback");

  const std::wstring empty = dir / L"Empty";
  test::MakeDirs(empty);
  const json e = json::parse(Inspect(L"game " + Quoted(empty)).output);
  EXPECT_EQ(e["noExecutable"], true);
  EXPECT_EQ(e["exeChoice"], "none");
  EXPECT_EQ(e["sizeText"], "0 B");
}

// With a package: whether the game's mod is older; and the record of the
// last copy, file by file, or why it is not used.
TEST(Inspect, GameWithAPackageSaysOutdatedAndWhatTheLastCopyLeft) {
  TempDir dir;
  const std::wstring game = dir / L"Halcyon";
  CopyFixture(L"plain.exe", game + L"\\Halcyon.exe");
  CopyFixture(L"mod_062.dll", game + L"\\dxgi.dll");
  CopyFixture(L"mod_080.dll", dir / L"pkg\\ZandRivell.dll");
  test::WriteFileBytes(game + L"\\shader.bin", "as written");
  const std::string digest = test::Utf8(Sha256Hex("as written"));
  test::WriteFileBytes(game + L"\\.zandrivell-backup\\deployed.ini",
                       "Format=1\r\nWritten=10|" + digest + "|shader.bin\r\nWritten=10|" + digest +
                           "|gone.bin\r\nEnd=2\r\n");
  const json j = json::parse(Inspect(L"game " + Quoted(game) + L" " + Quoted(dir / L"pkg")).output);
  EXPECT_EQ(j["outdated"], true);
  EXPECT_EQ(j["deployment"], json::parse(R"([{"path": "shader.bin", "asWritten": true, "state": "as written"},
                                             {"path": "gone.bin", "asWritten": false, "state": "gone"}])"));
  EXPECT_FALSE(j.contains("deploymentIgnored"));

  test::WriteFileBytes(game + L"\\.zandrivell-backup\\deployed.ini", "Format=1\r\nMade=..\r\nEnd=1\r\n");
  const json hostile = json::parse(Inspect(L"game " + Quoted(game)).output);
  EXPECT_FALSE(hostile.contains("outdated"));
  EXPECT_EQ(hostile["deployment"], json::array());
  EXPECT_NE(hostile["deploymentIgnored"].get<std::string>().find("line 2"), std::string::npos);
  EXPECT_EQ(Inspect(L"game " + Quoted(game) + L" " + Quoted(dir / L"no package")).exitCode, 1u);
}

TEST(Inspect, VersionPackageAndSize) {
  TempDir dir;
  CopyFixture(L"zandrivell.dll", dir / L"pkg\\ZandRivell.dll");
  const json v = json::parse(Inspect(L"version " + Quoted(dir / L"pkg\\ZandRivell.dll")).output);
  EXPECT_EQ(v["productName"], "ZandRivell");
  EXPECT_EQ(v["isMod"], true);
  EXPECT_EQ(v["fileVersion"], "1.2.3");
  EXPECT_EQ(v["productVersion"], "build 456");

  const json p = json::parse(Inspect(L"package " + Quoted(dir / L"pkg")).output);
  EXPECT_EQ(p["accepted"], true);
  EXPECT_EQ(p["version"], "1.2.3");
  test::MakeDirs(dir / L"nopkg");
  EXPECT_EQ(json::parse(Inspect(L"package " + Quoted(dir / L"nopkg")).output)["accepted"], false);

  test::WriteFileBytes(dir / L"sized\\a", std::string(5, 'a'));
  test::WriteFileBytes(dir / L"sized\\sub\\b", std::string(7, 'b'));
  const json s = json::parse(Inspect(L"size " + Quoted(dir / L"sized")).output);
  EXPECT_EQ(s["sizeBytes"], 12);
  EXPECT_EQ(s["sizeText"], "12 B");
}

TEST(Inspect, DataIniAndSteamapps) {
  TempDir dir;
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile({{L"D:\\Games\\A", L"bin", L"Alpha"},
                                                              {L"d:\\games\\a", L"", L""},
                                                              {L"E:\\B", L"", L""}}));
  const json d = json::parse(Inspect(L"data-ini " + Quoted(dir / L"data.ini")).output);
  ASSERT_EQ(d["games"].size(), 2u);
  EXPECT_EQ(d["games"][0]["exeFolder"], "bin");
  EXPECT_EQ(d["games"][1]["path"], "E:\\B");
  // No larger than the program itself reads.
  ASSERT_TRUE(test::ExtendSparse(dir / L"data.ini", kMaxDataFileBytes + 1));
  EXPECT_EQ(Inspect(L"data-ini " + Quoted(dir / L"data.ini")).exitCode, 1u);

  test::WriteFileBytes(dir / L"steamapps\\appmanifest_1.acf", "\"name\" \"Iron Coast 2077\" \"installdir\" \"IC\"");
  const json m = json::parse(Inspect(L"steamapps " + Quoted(dir / L"steamapps")).output);
  EXPECT_EQ(m[test::Utf8(dir / L"steamapps\\common\\IC")], "Iron Coast 2077");
}

// Version blocks a stranger's DLL may carry. None may bring the program down
// or make it read past the block: the 16-bit layout (which the system's
// lookup would widen into memory behind the block) and nodes that claim more
// than their parent are no version at all; a translation table that claims
// more than it holds is read as far as it goes.
TEST(Inspect, HostileVersionBlocksNeitherCrashNorMislead) {
  using test::VersionNode;
  auto named = [] {
    return test::VersionRoot({{u"040904e4", {test::TextNode(u"ProductName", u"ZandRivell"),
                                             test::TextNode(u"FileVersion", u"6.6")}}},
                             {0x0409, 0x04E4});
  };
  VersionNode lyingString = named();
  lyingString.children[0].children[0].children[0].recordedLength = 0xFF00;
  VersionNode longTable = named();
  longTable.children[1].children[0].recordedValueLength = 0xFFF0;
  struct Case {
    const wchar_t* name;
    std::vector<uint8_t> block;
    const char* productName;
  };
  const Case cases[] = {
      {L"narrow_small.dll", test::NarrowVersionBytes(0), ""},
      {L"narrow_large.dll", test::NarrowVersionBytes(40000), ""},
      {L"lying_length.dll", test::VersionBytes(lyingString), ""},
      {L"long_translation.dll", test::VersionBytes(longTable), "ZandRivell"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const std::wstring file = dir / c.name;
    const std::vector<uint8_t> image = test::BuildVersionPe(c.block).bytes;
    test::WriteFileBytes(file, std::string(image.begin(), image.end()));
    const bool valid = *c.productName != '\0';
    const test::ProcessResult r = Inspect(L"version " + Quoted(file));
    ASSERT_EQ(r.exitCode, 0u) << test::Utf8(c.name) << " " << r.output;
    const json v = json::parse(r.output);
    EXPECT_EQ(v["productName"], c.productName);
    EXPECT_EQ(v["isMod"], valid);
    EXPECT_EQ(v["fileVersion"], valid ? "6.6" : "");
  }
}

// Files named like devices are files in a game tree: reached by their plain
// path they would open the serial port (and wait on it) or the null device.
// The game's size, its executable's product name and the mod under a device
// name are all read from the files themselves.
TEST(Inspect, DeviceNamedFilesInAGameAreReadAsFiles) {
  TempDir dir;
  const std::wstring game = dir / L"Com1 Game";
  test::CopyFileOrFail(test::Fixture(L"disc_foo.exe"), game + L"\\bin\\COM1.exe");
  test::CopyFileOrFail(test::Fixture(L"zandrivell.dll"), game + L"\\bin\\AUX.dll");
  test::WriteFileBytes(game + L"\\nul.txt", "12345");
  test::WriteFileBytes(game + L"\\con\\lpt1", "1234567");
  uint64_t expected = 0;
  for (const wchar_t* file : {L"\\bin\\COM1.exe", L"\\bin\\AUX.dll", L"\\nul.txt", L"\\con\\lpt1"}) {
    expected += test::ReadFileBytes(game + file).size();
  }
  ASSERT_EQ(test::ReadFileBytes(game + L"\\nul.txt"), "12345");

  const test::ProcessResult r = Inspect(L"game " + Quoted(game));
  ASSERT_EQ(r.exitCode, 0u) << r.output;
  const json j = json::parse(r.output);
  EXPECT_EQ(j["sizeBytes"], expected);
  EXPECT_EQ(j["exeFolder"], "bin");
  EXPECT_EQ(j["name"], "Foo");
  EXPECT_EQ(j["status"], "Installed");
  EXPECT_EQ(j["modVersion"], "1.2.3");
  // A game folder itself named like a device keeps its own path.
  test::MakeDirs(dir / L"aux");
  EXPECT_EQ(json::parse(Inspect(L"game " + Quoted(dir / L"aux")).output)["path"], test::Utf8(dir / L"aux"));
}

TEST(Inspect, ExitCodesForBadArgumentsAndUnreadablePaths) {
  EXPECT_EQ(Inspect(L"").exitCode, 2u);
  EXPECT_EQ(Inspect(L"frobnicate C:\\").exitCode, 2u);
  EXPECT_EQ(Inspect(L"size C:\\no\\such\\folder").exitCode, 1u);
  EXPECT_EQ(Inspect(L"version C:\\no\\such.dll").exitCode, 1u);
}

}  // namespace
}  // namespace zrcc
