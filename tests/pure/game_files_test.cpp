#include "core/game_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/text.h"
#include "game_files_doc.h"

namespace zrcc {

namespace {

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The texts between backticks in `text`.
std::vector<std::string> Quoted(const std::string& text) {
  std::vector<std::string> names;
  for (size_t open = text.find('`'); open != std::string::npos;) {
    const size_t close = text.find('`', open + 1);
    if (close == std::string::npos) break;
    names.push_back(text.substr(open + 1, close - open - 1));
    open = text.find('`', close + 1);
  }
  return names;
}

// The first two cells of each row of the table under the heading that
// begins with `heading`, its header and rule lines left out.
std::vector<std::pair<std::string, std::string>> TableUnder(const std::string& heading) {
  std::istringstream doc{std::string(kGameFilesDoc)};
  std::vector<std::pair<std::string, std::string>> rows;
  bool inSection = false;
  int tableLine = 0;
  for (std::string line; std::getline(doc, line);) {
    if (line.starts_with("## ")) inSection = line.starts_with("## " + heading);
    if (!inSection || !line.starts_with("|") || ++tableLine <= 2) continue;
    const size_t second = line.find('|', 1), third = line.find('|', second + 1);
    rows.emplace_back(line.substr(2, second - 3), line.substr(second + 1, third - second - 1));
  }
  return rows;
}

// The shared file is where the names come from: every name it lists is
// recognised, in any letter case, as what its row says (one technology per
// row, named as the row begins; the system the row names), and the table
// holds nothing the file lacks.
TEST(GameFiles, TheTableHoldsExactlyTheNamesOfTheSharedList) {
  std::set<std::wstring> listed;
  std::map<UpscalerTechnology, std::string> rowOf;
  const auto upscalerRows = TableUnder("Upscalers");
  ASSERT_GE(upscalerRows.size(), 9u);
  for (const auto& [technology, cell] : upscalerRows) {
    for (const std::string& name : Quoted(cell)) {
      std::string upper = name;
      std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
      const RecognizedFile found = RecognizeGameFile(Widen(name));
      ASSERT_TRUE(found.upscaler) << name;
      EXPECT_EQ(RecognizeGameFile(Widen(upper)).upscaler, found.upscaler) << name;
      EXPECT_TRUE(technology.starts_with(EncodeUtf8(TechnologyName(found.upscaler->technology)))) << name;
      EXPECT_EQ(rowOf.emplace(found.upscaler->technology, technology).first->second, technology) << name;
      EXPECT_EQ(found.upscaler->technology, RecognizeGameFile(Widen(Quoted(cell).front())).upscaler->technology);
      listed.insert(Widen(name));
    }
  }
  for (const UpscalerFileName& entry : UpscalerFileNames()) EXPECT_TRUE(listed.count(std::wstring(entry.name)));

  // Markers: "folder `X`; `a.exe`, `b.dll`" or "files ending in `.xem`".
  std::set<std::pair<std::wstring, MarkerKind>> markers;
  const auto antiCheatRows = TableUnder("Anti-cheat");
  ASSERT_GE(antiCheatRows.size(), 9u);
  for (const auto& [system, cell] : antiCheatRows) {
    std::istringstream parts(cell);
    for (std::string part; std::getline(parts, part, ';');) {
      const MarkerKind kind = part.find("folder") != std::string::npos   ? MarkerKind::Folder
                              : part.find("ending") != std::string::npos ? MarkerKind::Suffix
                                                                         : MarkerKind::File;
      for (const std::string& name : Quoted(part)) {
        const std::wstring wide = Widen(name);
        const std::optional<AntiCheatSystem> found =
            kind == MarkerKind::Folder ? RecognizeAntiCheatFolder(wide)
                                       : RecognizeGameFile(kind == MarkerKind::Suffix ? L"Game" + wide : wide).antiCheat;
        ASSERT_TRUE(found) << name;
        EXPECT_EQ(EncodeUtf8(AntiCheatName(*found)), system) << name;
        EXPECT_TRUE(kind != MarkerKind::Folder || !RecognizeGameFile(wide)) << name;  // no file's name
        markers.insert({LowerKey(wide), kind});
      }
    }
  }
  for (const AntiCheatMarker& marker : AntiCheatMarkers()) {
    EXPECT_TRUE(markers.count({std::wstring(marker.name), marker.kind})) << EncodeUtf8(marker.name);
  }

  // The places the file names: every DLL there is one of the table's.
  for (const std::string& quoted : Quoted(kGameFilesDoc)) {
    if (quoted.ends_with(".dll") && quoted.find('\\') != std::string::npos) {
      EXPECT_TRUE(RecognizeGameFile(Widen(quoted.substr(quoted.rfind('\\') + 1))).upscaler) << quoted;
    }
  }
}

UpscalerFile Found(std::wstring_view name, std::wstring folder, std::wstring version) {
  const RecognizedFile known = RecognizeGameFile(name);
  EXPECT_TRUE(known.upscaler);
  return {known.upscaler->technology, known.upscaler->role, std::wstring(name), std::move(folder), std::move(version)};
}

GameFileFacts FactsOf(const std::vector<UpscalerFile>& files) {
  GameFileFacts facts;
  for (const UpscalerFile& file : files) AddUpscalerFile(facts, file);
  return facts;
}

// What one game ships, in whatever order the disk lists it, gives one column
// text: a family per entry in a fixed order, its newest main DLL's version;
// and one tooltip, each file with its folder and version.
TEST(GameFiles, ColumnAndTooltipDoNotDependOnTheListingOrder) {
  std::vector<UpscalerFile> files = {
      Found(L"NVNGX_DLSS.DLL", L"Engine\\Plugins\\Runtime\\Nvidia\\DLSS\\Binaries\\ThirdParty\\Win64", L"3.7.10"),
      Found(L"amd_fidelityfx_dx12.dll", L"", L"3.1.2"),
      Found(L"ffx_fsr2_api_x64.dll", L"", L"2.2.1"),  // an older generation beside it
      Found(L"libxess.dll", L"bin\\x64", L"1.3.1"),
      Found(L"nvngx_dlss.dll", L"Engine\\Plugins\\Marketplace\\DLSS\\Win64", L"2.4.0"),
      Found(L"nvngx_dlssd.dll", L"bin\\x64", L"3.7.10"),
      Found(L"nvngx_dlssg.dll", L"bin\\x64", L"3.7.10"),
      Found(L"sl.common.dll", L"bin\\x64", L"2.4.0"),
  };
  const auto byName = [](const UpscalerFile& a, const UpscalerFile& b) { return a.file < b.file; };
  const GameFileFacts facts = FactsOf(files);
  while (std::next_permutation(files.begin(), files.begin() + 6, byName)) EXPECT_EQ(FactsOf(files), facts);
  EXPECT_EQ(UpscalerColumnText(facts), L"DLSS 3.7.10 +FG +RR, Streamline, FSR 3.1.2, XeSS 1.3.1");
  EXPECT_EQ(FactsOf({files[0], files[0]}).upscalers.size(), 1u);
  // Without a readable version the newest generation speaks.
  EXPECT_EQ(UpscalerColumnText(FactsOf({Found(L"ffx_fsr2_api_x64.dll", L"", L""),
                                        Found(L"amd_fidelityfx_loader_dx12.dll", L"", L"2.0.0")})),
            L"FSR 4");
  EXPECT_EQ(UpscalerColumnText(FactsOf({Found(L"nvngx_dlssg.dll", L"", L"3.7.10")})), L"DLSS +FG");

  const std::vector<std::wstring> lines = UpscalerTipLines(facts);
  ASSERT_EQ(lines.size(), facts.upscalers.size());
  EXPECT_EQ(lines.front(), L"DLSS super resolution: Engine\\Plugins\\Marketplace\\DLSS\\Win64\\nvngx_dlss.dll, version 2.4.0");
  EXPECT_EQ(lines.back(), L"XeSS: bin\\x64\\libxess.dll, version 1.3.1");
  GameFileFacts many;
  for (int i = 0; i < 13; ++i) AddUpscalerFile(many, Found(L"sl.dlss.dll", L"copy" + std::to_wstring(i), L""));
  const std::vector<std::wstring> capped = UpscalerTipLines(many);
  ASSERT_EQ(capped.size(), kMaxUpscalerTipFiles + 1);
  EXPECT_EQ(capped[0], L"Streamline: copy0\\sl.dlss.dll, version unknown");
  EXPECT_EQ(capped.back(), L"... and 3 more upscaler files");
}

// Copies the program made are not the game's: what lies in a backup folder
// and what the last copy wrote (its record's paths are relative to the
// executable folder); the game's own file of the same name elsewhere stays.
// Anti-cheat systems are named once each, and nothing reads as "safe".
TEST(GameFiles, DropsWhatTheProgramWroteAndNamesEachSystemOnce) {
  GameFileFacts facts = FactsOf({
      Found(L"nvngx_dlss.dll", L"bin\\x64\\.zandrivell-backup\\20240101-120000", L"3.5.0"),
      Found(L"nvngx_dlss.dll", L"Bin\\X64", L"9.9.9"),
      Found(L"nvngx_dlss.dll", L"Engine\\Plugins\\DLSS", L"3.7.10"),
      Found(L"libxess.dll", L"bin\\x64\\plugins", L"1.3.1"),
      Found(L"libxess.dll", L"bin", L"1.2.0"),
  });
  DropFilesNotTheGames(facts, L"bin\\x64", {L"NVNGX_DLSS.dll", L"plugins\\libxess.dll", L"readme.txt"});
  EXPECT_EQ(UpscalerColumnText(facts), L"DLSS 3.7.10, XeSS 1.2.0");
  GameFileFacts top = FactsOf({Found(L"sl.interposer.dll", L"", L"2.4.0"), Found(L"sl.interposer.dll", L"x", L"")});
  DropFilesNotTheGames(top, L"", {L"sl.interposer.dll"});
  ASSERT_EQ(top.upscalers.size(), 1u);
  EXPECT_EQ(top.upscalers[0].folder, L"x");

  EXPECT_EQ(AntiCheatTipLine(facts), L"");
  for (const AntiCheatSystem s : {AntiCheatSystem::BattlEye, AntiCheatSystem::EasyAntiCheat, AntiCheatSystem::BattlEye}) {
    AddAntiCheat(facts, s);
  }
  EXPECT_TRUE(AntiCheatTipLine(facts).starts_with(L"Anti-cheat: Easy Anti-Cheat, BattlEye."));
  for (const std::wstring& text : {AntiCheatTipLine(facts), NoKnownAntiCheatText()}) {
    EXPECT_EQ(LowerKey(text).find(L"safe"), std::wstring::npos) << EncodeUtf8(text);
  }
}

}  // namespace
}  // namespace zrcc
