// zrcc-inspect: what ZandRivell Control Center would find on the disk, as
// JSON on standard output, for users and support. It runs the program's own
// units and never shows a dialog.
//
//   zrcc-inspect game <folder> [<package folder>]
//                                    forced refresh of one game folder; with a
//                                    package, whether its mod is outdated
//   zrcc-inspect version <file>      version resource strings of a file
//   zrcc-inspect package <folder>    whether a mod package folder is usable
//   zrcc-inspect data-ini <file>     the games a load would add from a list file
//   zrcc-inspect size <folder>       total size of a folder
//   zrcc-inspect steamapps <folder>  game folders and names from app manifests
//   zrcc-inspect find                what "Find Games on This PC" would add
//
// Exit code 0 on success, 1 when a path cannot be read, 2 on bad arguments.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <unordered_set>

#include "core/catalogue.h"
#include "core/found_games.h"
#include "core/game_files.h"
#include "core/game_list_file.h"
#include "core/mod_rules.h"
#include "core/size_text.h"
#include "core/update_rules.h"
#include "core/text.h"
#include "deploy/deployment.h"
#include "deploy/folder_size.h"
#include "deploy/mod_state.h"
#include "deploy/version_reader.h"
#include "discovery/find_games.h"
#include "discovery/folder_intake.h"
#include "discovery/steam_manifests.h"
#include "core/owner_thread.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "platform/disk.h"
#include "platform/files.h"

using nlohmann::json;
using namespace zrcc;

namespace {

constexpr int kOk = 0, kUnreadable = 1, kUsage = 2;

std::string U8(const std::wstring& text) { return EncodeUtf8(text); }

void Print(const json& value) {
  const std::string text = value.dump(2) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
}

int Fail(const std::wstring& message) {
  const std::string text = "zrcc-inspect: " + U8(message) + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
  return kUnreadable;
}

int Usage() {
  std::fputs(
      "usage: zrcc-inspect <command> <path>\n"
      "  game <folder> [<package folder>]\n"
      "                      what a forced refresh of the game folder finds\n"
      "  version <file>      ProductName, FileVersion, ProductVersion of a file\n"
      "  package <folder>    whether the folder is a usable mod package\n"
      "  data-ini <file>     the games a load would add from the file\n"
      "  size <folder>       total size of the folder\n"
      "  steamapps <folder>  game folders and names from the folder's app manifests\n"
      "  find                what \"Find Games on This PC\" would add to an empty list\n",
      stderr);
  return kUsage;
}

// The record of the last copy into the folder: each file it wrote and what
// became of it. Empty when there is none; a record that is not followed
// says why in "deploymentIgnored".
void AddDeployment(json& out, const std::wstring& exeFolder) {
  const LoadedRecord loaded = LoadDeploymentRecord(exeFolder);
  json files = json::array();
  for (const WrittenFileCondition& file : CheckWrittenFiles(exeFolder, loaded.record)) {
    const char* state = file.condition == FileCondition::AsWritten ? "as written"
                        : file.condition == FileCondition::Changed ? "changed"
                                                                   : "gone";
    files.push_back({{"path", U8(file.path)}, {"asWritten", file.condition == FileCondition::AsWritten},
                     {"state", state}});
  }
  out["deployment"] = files;
  if (loaded.found == RecordFound::Ignored || loaded.found == RecordFound::Unreadable) {
    out["deploymentIgnored"] = U8(loaded.problem);
  }
}

int InspectGame(const std::wstring& folder, const std::wstring& package) {
  const std::wstring path = NormalizeFolderPath(folder);
  if (path.empty() || !IsExistingDirectory(path)) return Fail(L"not a readable folder: " + folder);
  std::optional<PackageInfo> packageInfo;
  if (!package.empty()) {
    packageInfo = CheckModFolder(package);
    if (!packageInfo) return Fail(L"not a usable mod package folder: " + package);
  }
  bool noExecutable = false;
  Game game;
  game.path = path;
  RefreshGame(game, true, &noExecutable);
  json out = {{"path", U8(game.path)},
              {"exeFolder", U8(game.exeFolder)},
              {"name", U8(game.name)},
              {"sizeBytes", MeasureFolderSize(game.path)},
              {"sizeText", U8(game.sizeText)},
              {"modState", static_cast<int>(game.modState)},
              {"status", U8(ModStateText(game.modState))},
              {"modVersion", U8(game.modVersion)},
              {"buildVersion", U8(game.buildVersion)},
              {"noExecutable", noExecutable},
              {"exeChoice", ExeChoiceName(game.exeChoice)},
              {"runs32Bit", game.exeMachine == PeMachine::X86}};
  json upscalers = json::array();
  for (const UpscalerFile& file : game.gameFiles.upscalers) {
    upscalers.push_back({{"technology", U8(std::wstring(TechnologyName(file.technology)))},
                         {"file", U8(file.file)},
                         {"folder", U8(file.folder)},
                         {"version", U8(file.version)}});
  }
  out["upscalers"] = upscalers;
  json antiCheat = json::array();
  for (const AntiCheatSystem system : game.gameFiles.antiCheats) antiCheat.push_back(U8(std::wstring(AntiCheatName(system))));
  out["antiCheat"] = antiCheat;
  if (packageInfo) {
    out["outdated"] = IsOutdated(game, {true, packageInfo->version, packageInfo->build, packageInfo->numbers});
  }
  AddDeployment(out, ExeFolderPath(game));
  Print(out);
  return kOk;
}

int InspectVersion(const std::wstring& file) {
  if (!IsExistingFile(file)) return Fail(L"not a readable file: " + file);
  std::wstring fileVersion, productVersion;
  const bool isMod = MatchProductVersions(file, kModProductName, fileVersion, productVersion);
  Print({{"path", U8(file)},
         {"productName", U8(ReadProductName(file))},
         {"isMod", isMod},
         {"fileVersion", U8(fileVersion)},
         {"productVersion", U8(productVersion)}});
  return kOk;
}

int InspectPackage(const std::wstring& folder) {
  if (!IsExistingDirectory(folder)) return Fail(L"not a readable folder: " + folder);
  const std::optional<PackageInfo> info = CheckModFolder(folder);
  Print({{"path", U8(folder)},
         {"accepted", info.has_value()},
         {"version", info ? U8(info->version) : ""},
         {"build", info ? U8(info->build) : ""}});
  return kOk;
}

int InspectDataIni(const std::wstring& file) {
  // Read whole into memory, as the program reads it, so no larger than the
  // program would.
  std::string bytes;
  switch (ReadWholeFile(file, bytes, kMaxDataFileBytes)) {
    case FileRead::Read:
      break;
    case FileRead::TooLarge:
      return Fail(L"too large to be a game list: " + file);
    case FileRead::Missing:
    case FileRead::Unreadable:
      return Fail(L"cannot read file: " + file);
  }
  std::wstring text;
  const DataFileBytes form = DecodeDataFileBytes(bytes, text);
  const bool decoded = form == DataFileBytes::Text || form == DataFileBytes::LocalCodePage;
  json games = json::array();
  std::unordered_set<std::wstring> seen;
  if (decoded) {
    for (const GameListEntry& entry : ParseGameListText(text)) {
      if (!seen.insert(LowerKey(entry.path)).second) continue;  // the catalogue keeps the first
      games.push_back({{"path", U8(entry.path)}, {"exeFolder", U8(entry.exeFolder)}, {"name", U8(entry.name)}});
    }
  }
  Print({{"path", U8(file)}, {"decoded", decoded}, {"games", games}});
  return kOk;
}

int InspectSize(const std::wstring& folder) {
  if (!IsExistingDirectory(folder)) return Fail(L"not a readable folder: " + folder);
  const uint64_t size = MeasureFolderSize(folder);
  Print({{"path", U8(folder)}, {"sizeBytes", size}, {"sizeText", U8(FormatSizeText(size))}});
  return kOk;
}

int InspectSteamapps(const std::wstring& folder) {
  if (!IsExistingDirectory(folder)) return Fail(L"not a readable folder: " + folder);
  SteamNameMap read;
  ReadSteamManifests(NormalizeFolderPath(folder), read);
  json names = json::object();
  for (const auto& [path, name] : read) names[U8(path)] = U8(name);
  Print(names);
  return kOk;
}

// What the command would add to an empty list, and what it would skip. It
// reads the launchers' files and walks the games, and changes nothing.
int InspectFind() {
  json games = json::array();
  json withoutExecutable = json::array();
  json skipped = json::array();
  GameSearch search = SearchLaunchers([](GameSource) {});
  for (const FoundGame& found : search.games) {
    Game game;
    game.path = found.path;
    bool noExecutable = false;
    if (!RefreshFoundGame(found, game, noExecutable)) {
      search.skipped.push_back(VanishedGameSkip(found));
    } else if (noExecutable) {
      withoutExecutable.push_back(U8(game.path));
    } else {
      games.push_back({{"source", U8(GameSourceName(found.source))},
                       {"path", U8(game.path)},
                       {"name", U8(game.name)},
                       {"exeFolder", U8(game.exeFolder)},
                       {"exeChoice", ExeChoiceName(game.exeChoice)}});
    }
  }
  for (const FindSkip& skip : search.skipped) {
    skipped.push_back({{"what", U8(FindSkipSubject(skip))}, {"why", U8(SkipReasonText(skip.reason))}});
  }
  Print({{"games", games},
         {"withoutExecutable", withoutExecutable},
         {"cannotBeChanged", search.cannotBeChanged},
         {"skipped", skipped}});
  return kOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  // The tool's one thread owns what the program's units keep.
  BindOwnerThread();
  if (argc == 4 && std::wstring(argv[1]) == L"game") return InspectGame(argv[2], argv[3]);
  if (argc == 2 && std::wstring(argv[1]) == L"find") return InspectFind();
  if (argc != 3) return Usage();
  const std::wstring command = argv[1], path = argv[2];
  if (command == L"game") return InspectGame(path, L"");
  if (command == L"version") return InspectVersion(path);
  if (command == L"package") return InspectPackage(path);
  if (command == L"data-ini") return InspectDataIni(path);
  if (command == L"size") return InspectSize(path);
  if (command == L"steamapps") return InspectSteamapps(path);
  return Usage();
}
