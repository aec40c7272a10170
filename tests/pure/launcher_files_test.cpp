#include "core/launcher_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zrcc {
namespace {

using Paths = std::vector<std::wstring>;

// As Steam writes it today: numbered entries with a path, statistics and the
// installed apps, whose numbered keys are no libraries.
const std::string kCurrentLayout =
    "\"libraryfolders\"\n{\n"
    "\t\"0\"\n\t{\n\t\t\"path\"\t\t\"C:\\\\Program Files (x86)\\\\Steam\"\n\t\t\"label\"\t\t\"\"\n"
    "\t\t\"contentid\"\t\t\"4471049211542315\"\n\t\t\"totalsize\"\t\t\"0\"\n"
    "\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"2300472386\"\n\t\t\t\"1245620\"\t\t\"49875036311\"\n\t\t}\n\t}\n"
    "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"E:\\\\Games \\\"Two\\\"\"\n\t\t\"apps\"\n\t\t{\n\t\t}\n\t}\n"
    "}\n";

TEST(LibraryFolders, ReadsBothLayoutsAsSteamWritesThem) {
  EXPECT_EQ(ReadLibraryFolders(kCurrentLayout), (Paths{L"C:\\Program Files (x86)\\Steam", L"E:\\Games \"Two\""}));
  const std::string older =
      "\xEF\xBB\xBF\"LibraryFolders\"\r\n{\r\n\t\"TimeNextStatsReport\"\t\t\"1693473474\"\r\n"
      "\t\"ContentStatsID\"\t\t\"-5113935437\"\r\n\t\"1\"\t\t\"D:\\\\SteamLibrary\"\r\n"
      "// a comment\r\n\t\"2\"\t\t\"F:\\\\Steam Games\"\r\n}\r\n";
  EXPECT_EQ(ReadLibraryFolders(older), (Paths{L"D:\\SteamLibrary", L"F:\\Steam Games"}));
  // Entries without a path, and empty paths, name no library.
  EXPECT_EQ(ReadLibraryFolders("libraryfolders { \"0\" { \"label\" \"x\" } \"1\" \"\" \"2\" { path G:\\L } }"),
            (Paths{L"G:\\L"}));
}

TEST(LibraryFolders, RefusesDamagedFilesWhole) {
  // Every file cut short before its last brace is refused, never half read.
  const size_t lastBrace = kCurrentLayout.rfind('}');
  for (size_t length = 0; length <= lastBrace; ++length) {
    EXPECT_EQ(ReadLibraryFolders(kCurrentLayout.substr(0, length)), std::nullopt) << length;
  }
  EXPECT_NE(ReadLibraryFolders(kCurrentLayout.substr(0, lastBrace + 1)), std::nullopt);
  std::string deep = "\"libraryfolders\" {";
  for (int i = 0; i < 100; ++i) deep += " \"k\" {";
  EXPECT_EQ(ReadLibraryFolders(deep + std::string(101, '}')), std::nullopt);  // past any real file's depth
  EXPECT_EQ(ReadLibraryFolders(std::string(200000, '{')), std::nullopt);
  EXPECT_EQ(ReadLibraryFolders("\"libraryfolders\" { \"1\" \"D:\\\xFF\" }"), std::nullopt);  // not UTF-8
  const char withNul[] = "\"libraryfolders\" { \"1\" \"D:\\\\L\0x\" }";
  EXPECT_EQ(ReadLibraryFolders(std::string(withNul, sizeof withNul - 1)),
            std::nullopt);  // a NUL would cut the path short where the system reads it
  EXPECT_EQ(ReadLibraryFolders("\"libraryfolders\" { \"1\" \"D:\\\\L\" } } junk"), (Paths{L"D:\\L"}));
}

const std::string kEpicManifest =
    "{\n\t\"FormatVersion\": 0,\n\t\"bIsIncompleteInstall\": false,\n\t\"LaunchCommand\": \"\",\n"
    "\t\"LaunchExecutable\": \"Bin/Win64/gq_ship.exe\",\n\t\"ManifestLocation\": \"C:\\\\ProgramData\\\\x\",\n"
    "\t\"AppCategories\": [ \"public\", \"games\", { \"DisplayName\": \"nested\" } ],\n"
    "\t\"InstallSize\": -1.5e3,\n\t\"InstallLocation\": \"C:\\\\Program Files\\\\Epic Games\\\\GammaQuest\",\n"
    "\t\"DisplayName\": \"Gamma Quest \\u00c9dition \\ud83c\\udfae\"\n}";

TEST(EpicManifest, ReadsTheTopLevelStringsOfOneWholeObject) {
  const auto manifest = ReadEpicManifest(kEpicManifest);
  ASSERT_TRUE(manifest);
  EXPECT_EQ(manifest->displayName, (std::wstring(L"Gamma Quest ") + wchar_t(0xC9) + L"dition " + wchar_t(0xD83C) +
                                    wchar_t(0xDFAE)));
  EXPECT_EQ(manifest->installLocation, L"C:\\Program Files\\Epic Games\\GammaQuest");
  EXPECT_EQ(manifest->launchExecutable, L"Bin/Win64/gq_ship.exe");
  EXPECT_TRUE(ReadEpicManifest("\xEF\xBB\xBF{\"InstallLocation\":\"D:\\\\G\"}"));
}

TEST(EpicManifest, RefusesAnythingButOneWholeObjectWithAFolder) {
  for (size_t length = 0; length < kEpicManifest.size(); ++length) {
    EXPECT_EQ(ReadEpicManifest(kEpicManifest.substr(0, length)), std::nullopt) << length;
  }
  for (const std::string& bad : {
           std::string("{\"DisplayName\": \"x\"}"),                      // no folder
           std::string("{\"InstallLocation\": 5}"),                      // not a string
           std::string("{\"InstallLocation\": \"  \"}"),                 // blank
           std::string("[{\"InstallLocation\": \"D:\\\\G\"}]"),          // not an object
           std::string("{\"InstallLocation\": \"D:\\\\G\"} {}"),         // two values
           std::string("{\"InstallLocation\": \"D:\\\\G\",}"),           // trailing comma
           std::string("{\"InstallLocation\": \"D:\\u0000G\"}"),         // a NUL would cut the path
           std::string("{\"InstallLocation\": \"D:\\\\G\xC3\"}"),        // not UTF-8
           std::string("{\"InstallLocation\": \"D:\\x\"}"),              // unknown escape
           std::string("{\"InstallLocation\": \"D:\tG\"}"),              // raw control character
           std::string("{\"a\":") + std::string(100000, '[') + "1" + std::string(100000, ']') +
               ",\"InstallLocation\":\"D:\\\\G\"}",                      // nesting past any manifest
       }) {
    EXPECT_EQ(ReadEpicManifest(bad), std::nullopt) << bad.substr(0, 60);
  }
}

}  // namespace
}  // namespace zrcc
