#include "deploy/exe_detection.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

#include "core/deployment_record.h"
#include "core/paths.h"
#include "deploy/folder_size.h"
#include "deploy/version_reader.h"

namespace zrcc {

void CollectExecutables(const std::wstring& folder, std::vector<ExecutableCandidate>& list) {
  CollectExecutablesAndMeasure(folder, list);
}

uint64_t CollectExecutablesAndMeasure(const std::wstring& folder, std::vector<ExecutableCandidate>& list,
                                      const std::atomic<bool>* stop) {
  return MeasureFolderSizeVisiting(
      folder, [&list](const std::wstring& where, const wchar_t* name) { NoteExecutableCandidate(where, name, list); },
      stop);
}

void NoteExecutableCandidate(const std::wstring& folder, const wchar_t* name, std::vector<ExecutableCandidate>& list) {
  if (!IsExeName(name) || LiesInBackupFolder(folder)) return;
  ExecutableCandidate candidate{name, folder, {}, PeMachine::Unknown};
  ExecutableFacts facts = ReadExecutableFacts(CandidateFullPath(candidate));
  candidate.productName = std::move(facts.productName);
  candidate.machine = facts.machine;
  list.push_back(std::move(candidate));
}

std::optional<ExecutableCandidate> DetectGameExecutable(const Game& game, bool* noExecutable) {
  std::vector<ExecutableCandidate> candidates;
  CollectExecutables(game.path, candidates);
  if (noExecutable) *noExecutable = candidates.empty();
  if (candidates.empty()) return std::nullopt;
  const std::optional<size_t> chosen = DecideExecutable(game.path, candidates).index;
  if (!chosen) return std::nullopt;
  return candidates[*chosen];
}

namespace {

namespace fs = std::filesystem;

fs::path WeaklyCanonical(const std::wstring& text) {
  // The plain spelling: the library's path algebra reads a long-form prefix
  // as a root of its own, which would put prefixed and plain spellings of one
  // folder on different roots.
  const fs::path plain(PlainPath(text));
  std::error_code error;
  fs::path result = fs::weakly_canonical(plain, error);
  if (error) {
    result = fs::absolute(plain, error);
    if (error) result = plain;
    result = result.lexically_normal();
  }
  return result;
}

}  // namespace

std::wstring RelativeExeFolder(const std::wstring& exeFullPath, const std::wstring& gamePath) {
  const fs::path folder = WeaklyCanonical(exeFullPath).parent_path();
  const fs::path base = WeaklyCanonical(gamePath);
  if (folder.root_name().native() != base.root_name().native() ||
      folder.has_root_directory() != base.has_root_directory()) {
    return {};
  }
  const fs::path folderRest = folder.relative_path();
  const fs::path baseRest = base.relative_path();
  auto f = folderRest.begin();
  auto b = baseRest.begin();
  // Components compare exactly; an empty one stands for a trailing separator.
  while (f != folderRest.end() && b != baseRest.end() && f->native() == b->native()) {
    ++f;
    ++b;
  }
  std::wstring relative;
  auto append = [&relative](const std::wstring& component) {
    if (component.empty()) return;
    if (!relative.empty()) relative += L'\\';
    relative += component;
  };
  for (; b != baseRest.end(); ++b) {
    if (!b->empty()) append(L"..");
  }
  for (; f != folderRest.end(); ++f) append(f->native());
  return relative;
}

}  // namespace zrcc
