#include "deploy/game_file_scan.h"

#include <string_view>

#include "core/deployment_record.h"
#include "core/mod_rules.h"
#include "core/paths.h"
#include "core/text.h"
#include "deploy/exe_detection.h"
#include "deploy/folder_size.h"
#include "deploy/version_reader.h"

namespace zrcc {

std::wstring GameFileScan::RelativeFolder(const std::wstring& folder) const {
  // The walk spells every folder as the game folder followed by names, so
  // the part after it is the relative folder; FolderBelow for anything else.
  if (folder.size() >= root_.size() && std::wstring_view(folder).substr(0, root_.size()) == root_) {
    std::wstring_view rest = std::wstring_view(folder).substr(root_.size());
    while (!rest.empty() && (rest.front() == L'\\' || rest.front() == L'/')) rest.remove_prefix(1);
    return std::wstring(rest);
  }
  return FolderBelow(root_, folder).value_or(folder);
}

void GameFileScan::VisitFile(const std::wstring& folder, const wchar_t* name) {
  const RecognizedFile recognized = RecognizeGameFile(name);
  if (!recognized) return;
  std::wstring relative = RelativeFolder(folder);
  if (LiesInBackupFolder(relative)) return;
  if (recognized.antiCheat) {
    AddAntiCheat(facts_, *recognized.antiCheat);
    return;
  }
  const ShownFileVersion version = ReadShownFileVersion(JoinPath(folder, name));
  if (version.productName == kModProductName) return;
  AddUpscalerFile(facts_, {recognized.upscaler->technology, recognized.upscaler->role, name, std::move(relative),
                           version.version});
}

void GameFileScan::VisitFolder(const std::wstring& parent, const wchar_t* name) {
  if (LowerKey(name) == kBackupFolderName) {
    // A copy's record lies here, perhaps in a folder that is no longer the
    // executable folder: its Undo stays within reach.
    if (std::wstring relative = RelativeFolder(parent); !LiesInBackupFolder(relative)) {
      copyFolders_.push_back(std::move(relative));
    }
    return;
  }
  const std::optional<AntiCheatSystem> system = RecognizeAntiCheatFolder(name);
  if (!system || LiesInBackupFolder(RelativeFolder(JoinPath(parent, name)))) return;
  AddAntiCheat(facts_, *system);
}

bool SameWalkedFolder(const std::wstring& a, const std::wstring& b) {
  const auto trimmed = [](const std::wstring& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == L'\\' || text[end - 1] == L'/')) --end;
    return LowerKey(std::wstring_view(text).substr(0, end));
  };
  return trimmed(a) == trimmed(b);
}

GameFolderWalk WalkGameFolder(const std::wstring& gameFolder, bool collectExecutables, const std::atomic<bool>* stop,
                              const std::wstring& programFolder) {
  // A folder of more executables than any game ships is judged by its first few.
  constexpr size_t kProgramsRead = 16;
  GameFolderWalk walk;
  GameFileScan scan(gameFolder);
  // One visitor for every purpose: the walk calls it for every file.
  walk.size = MeasureFolderSizeVisiting(
      gameFolder,
      [&](const std::wstring& folder, const wchar_t* name) {
        if (collectExecutables) NoteExecutableCandidate(folder, name, walk.executables);
        if (!programFolder.empty() && walk.programMachines.size() < kProgramsRead && IsExeName(name) &&
            SameWalkedFolder(folder, programFolder)) {
          walk.programMachines.push_back(ReadExecutableFacts(JoinPath(folder, name)).machine);
        }
        scan.VisitFile(folder, name);
      },
      [&scan](const std::wstring& parent, const wchar_t* name) { scan.VisitFolder(parent, name); }, stop);
  walk.gameFiles = scan.TakeFacts();
  walk.copyFolders = scan.TakeCopyFolders();
  return walk;
}

}  // namespace zrcc
