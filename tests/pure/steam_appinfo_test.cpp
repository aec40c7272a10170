#include "core/steam_appinfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appinfo_builder.h"

namespace zrcc {
namespace {

using test::AppInfoFile;
using test::AppKv;
using test::LaunchSpec;
using Exes = std::vector<std::wstring>;

// Three apps as Steam lists them: one with a plain entry per API and an
// option, one with a beta branch's own build, one for Linux only.
AppInfoFile ThreeApps(uint32_t version) {
  AppInfoFile file(version);
  file.Add(10, AppKv(10, "Iron Coast", {{"bin\\win32\\game.exe", "default", "windows", "32", ""},
                                        {"bin\\x64\\game.exe", "option1", "windows", "64", ""},
                                        {"bin\\x64_dx12\\game.exe", "default", "windows,linux", "64", ""}}));
  file.Add(20, AppKv(20, "Halcyon", {{"Halcyon.exe", "", "", "", ""},
                                     {"beta/Halcyon-next.exe", "default", "windows", "", "next"},
                                     {"halcyon.sh", "default", "linux", "", ""}}));
  file.Add(30, AppKv(30, "Penguin", {{"penguin", "default", "linux,macos", "", ""}}));
  return file;
}

TEST(SteamAppInfo, EveryVersionGivesThePlainPlayExecutableOfEachApp) {
  for (const uint32_t version : {39u, 40u, 41u}) {
    const std::string bytes = ThreeApps(version).Bytes();
    const AppInfoLaunches read = ReadAppInfoLaunches(bytes, nullptr);
    ASSERT_TRUE(read.understood && read.complete) << version;
    ASSERT_EQ(read.apps.size(), 3u);
    EXPECT_EQ(read.apps[0].installDir, L"Iron Coast");
    // The option is never "Play"; the 32-bit build comes after the 64-bit one.
    EXPECT_EQ(read.apps[0].executables, (Exes{L"bin\\x64_dx12\\game.exe", L"bin\\win32\\game.exe"}));
    EXPECT_EQ(read.apps[1].executables, (Exes{L"Halcyon.exe"})) << "another branch's build is not the game's";
    EXPECT_EQ(read.apps[2].executables, Exes{});

    // A game on the beta branch starts its branch's build first; only the
    // apps asked for are read.
    const std::unordered_map<uint32_t, std::wstring> wanted = {{20, L"next"}, {99, L""}};
    const AppInfoLaunches onBeta = ReadAppInfoLaunches(bytes, &wanted);
    ASSERT_EQ(onBeta.apps.size(), 1u);
    EXPECT_EQ(onBeta.apps[0].executables, (Exes{L"beta\\Halcyon-next.exe", L"Halcyon.exe"}));
  }
}

TEST(SteamAppInfo, ExecutablesThatLeaveTheFolderAreNeverGiven) {
  AppInfoFile file(40);
  file.Add(7, AppKv(7, "Game", {{"..\\..\\Windows\\evil.exe", "default", "", "", ""},
                                {"C:\\Windows\\notepad.exe", "", "", "", ""},
                                {"game.exe:stream", "", "", "", ""},
                                {"steam://run/7", "", "", "", ""},
                                {"Game\\Bin\\game.exe", "", "windows", "64", ""}}));
  const AppInfoLaunches read = ReadAppInfoLaunches(file.Bytes(), nullptr);
  ASSERT_EQ(read.apps.size(), 1u);
  EXPECT_EQ(read.apps[0].executables, (Exes{L"Game\\Bin\\game.exe"}));
}

// A file cut anywhere, or damaged in any byte, gives at most the apps read
// before the fault, each as the whole file gives it, and says it is not
// complete.
TEST(SteamAppInfo, ACutOrDamagedFileGivesTheAppsBeforeTheFault) {
  for (const uint32_t version : {39u, 41u}) {
    const std::string whole = ThreeApps(version).Bytes();
    const AppInfoLaunches full = ReadAppInfoLaunches(whole, nullptr);
    auto isPrefixOfFull = [&](const AppInfoLaunches& read) {
      if (read.apps.size() > full.apps.size()) return false;
      for (size_t i = 0; i < read.apps.size(); ++i) {
        if (read.apps[i].appId != full.apps[i].appId || read.apps[i].executables != full.apps[i].executables) {
          return false;
        }
      }
      return true;
    };
    size_t someRead = 0;
    for (size_t length = 0; length < whole.size(); ++length) {
      const AppInfoLaunches cut = ReadAppInfoLaunches(std::string_view(whole).substr(0, length), nullptr);
      // Version 41 keeps its string table at the end: cut, nothing is read.
      EXPECT_FALSE(cut.complete) << length;
      EXPECT_TRUE(isPrefixOfFull(cut)) << version << " cut at " << length;
      someRead += cut.apps.size();
    }
    if (version == 39) {
      EXPECT_GT(someRead, 0u);
    }
    for (size_t at = 0; at < whole.size(); ++at) {
      std::string damaged = whole;
      damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
      const AppInfoLaunches read = ReadAppInfoLaunches(damaged, nullptr);
      EXPECT_LE(read.apps.size(), full.apps.size()) << at;
    }
  }
  // An entry that claims more than the file holds, or more than any entry
  // is, ends the reading there.
  std::string bytes = ThreeApps(40).Bytes();
  bytes[8 + 4 + 3] = '\x7F';  // the first entry's size: about 2 GB
  const AppInfoLaunches read = ReadAppInfoLaunches(bytes, nullptr);
  EXPECT_TRUE(read.understood);
  EXPECT_FALSE(read.complete);
  EXPECT_TRUE(read.apps.empty());
  // Another format's magic, and a version this reader does not know.
  EXPECT_FALSE(ReadAppInfoLaunches(std::string("\x29\x44\x56\x08\x01\x00\x00\x00", 8), nullptr).understood);
  EXPECT_FALSE(ReadAppInfoLaunches(std::string("\x2A\x44\x56\x07\x01\x00\x00\x00\x00\x00\x00\x00", 12), nullptr)
                   .understood);
}

}  // namespace
}  // namespace zrcc
