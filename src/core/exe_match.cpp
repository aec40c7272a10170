#include "core/exe_match.h"

#include <cwctype>

#include "core/paths.h"
#include "core/text.h"

namespace zrcc {

std::wstring CandidateFullPath(const ExecutableCandidate& candidate) {
  return JoinPath(candidate.folder, candidate.fileName);
}

std::wstring MatchKey(std::wstring_view text) {
  std::wstring key;
  key.reserve(text.size());
  for (const wchar_t c : text) {
    const auto unit = static_cast<std::wint_t>(c);
    if (std::iswalnum(unit)) key.push_back(static_cast<wchar_t>(std::towlower(unit)));
  }
  return key;
}

std::wstring FileStem(std::wstring_view path) {
  const size_t cut = path.find_last_of(L"\\/");
  std::wstring_view name = cut == std::wstring_view::npos ? path : path.substr(cut + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring_view::npos) name = name.substr(0, dot);
  return std::wstring(name);
}

bool IsExeName(std::wstring_view name) {
  if (name.size() <= 3) return false;
  const std::wstring_view tail = name.substr(name.size() - 4);
  return LowerKey(tail) == L".exe";
}

namespace {

bool KeyOccursIn(const std::wstring& key, const std::wstring& gameKey) {
  return !key.empty() && gameKey.find(key) != std::wstring::npos;
}

constexpr std::wstring_view kBootstrapProductName = L"BootstrapPackagedGame";

std::wstring StemKey(const ExecutableCandidate& candidate) { return MatchKey(FileStem(CandidateFullPath(candidate))); }

// The subfolders from `gamePath` down to `folder`, as the walk spells a
// folder below the game folder (the game path, one backslash unless it ends
// with one, the names joined by single backslashes); empty for the game
// folder itself; nothing for a folder spelt any other way.
std::optional<std::vector<std::wstring_view>> FoldersBelow(std::wstring_view folder, std::wstring_view gamePath) {
  if (folder.substr(0, gamePath.size()) != gamePath) return std::nullopt;
  std::wstring_view rest = folder.substr(gamePath.size());
  std::vector<std::wstring_view> names;
  if (rest.empty()) return names;
  if (!EndsWithSeparator(gamePath)) {
    if (rest.front() != L'\\') return std::nullopt;
    rest.remove_prefix(1);
  }
  while (true) {
    const size_t cut = rest.find(L'\\');
    const std::wstring_view name = rest.substr(0, cut);
    if (name.empty()) return std::nullopt;
    names.push_back(name);
    if (cut == std::wstring_view::npos) return names;
    rest.remove_prefix(cut + 1);
  }
}

// "<sub>\Binaries\Win64" or "<sub>\Binaries\WinGDK" of a packaged game, where
// the engine writes the game's own executable. "Engine\Binaries\Win64" holds
// the engine's tools (the crash reporter), never the game.
bool IsGameBinariesFolder(const std::vector<std::wstring_view>& names) {
  if (names.size() != 3 || LowerKey(names[0]) == L"engine" || LowerKey(names[1]) != L"binaries") return false;
  const std::wstring platform = LowerKey(names[2]);
  return platform == L"win64" || platform == L"wingdk";
}

bool IsShippingName(std::wstring_view fileName) { return LowerKey(fileName).ends_with(L"-shipping.exe"); }

}  // namespace

std::optional<size_t> PackagedGameExecutable(const std::wstring& gamePath,
                                             const std::vector<ExecutableCandidate>& candidates, size_t launcher) {
  if (launcher >= candidates.size()) return std::nullopt;
  const ExecutableCandidate& start = candidates[launcher];
  const auto launcherPlace = FoldersBelow(start.folder, gamePath);
  if (!launcherPlace || !launcherPlace->empty()) return std::nullopt;

  std::vector<size_t> inBinaries;
  std::vector<size_t> shipping;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const auto place = FoldersBelow(candidates[i].folder, gamePath);
    if (!place || !IsGameBinariesFolder(*place)) continue;
    inBinaries.push_back(i);
    if (IsShippingName(candidates[i].fileName)) shipping.push_back(i);
  }
  if (!shipping.empty()) {
    // Several builds side by side (Win64 and WinGDK, or another project's):
    // the one named after the launcher.
    const std::wstring launcherKey = StemKey(start);
    for (const size_t i : shipping) {
      if (StemKey(candidates[i]).starts_with(launcherKey)) return i;
    }
    return shipping.front();
  }
  if (start.productName == kBootstrapProductName && inBinaries.size() == 1) return inBinaries.front();
  return std::nullopt;
}

std::optional<size_t> ChooseExecutable(const std::wstring& gamePath,
                                       const std::vector<ExecutableCandidate>& candidates) {
  const std::optional<size_t> matched = MatchExecutable(gamePath, candidates);
  if (!matched) return std::nullopt;
  if (const std::optional<size_t> game = PackagedGameExecutable(gamePath, candidates, *matched)) return game;
  return matched;
}

std::optional<size_t> MatchExecutable(const std::wstring& gamePath,
                                       const std::vector<ExecutableCandidate>& candidates) {
  const std::wstring gameKey = MatchKey(gamePath);
  if (gameKey.empty()) return std::nullopt;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (KeyOccursIn(MatchKey(FileStem(CandidateFullPath(candidates[i]))), gameKey)) return i;
  }
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (KeyOccursIn(MatchKey(candidates[i].productName), gameKey)) return i;
  }
  return std::nullopt;
}

}  // namespace zrcc
