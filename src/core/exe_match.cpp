#include "core/exe_match.h"

#include <cwctype>

#include "core/exe_fallback.h"
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

// The matching candidate and the pass that matched it.
ExecutableChoice MatchByName(const std::wstring& gamePath, const std::vector<ExecutableCandidate>& candidates) {
  const std::wstring gameKey = MatchKey(gamePath);
  if (gameKey.empty()) return {};
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (KeyOccursIn(StemKey(candidates[i]), gameKey)) return {i, ExeChoice::FileName};
  }
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (KeyOccursIn(MatchKey(candidates[i].productName), gameKey)) return {i, ExeChoice::ProductName};
  }
  return {};
}

}  // namespace

std::wstring StemKey(const ExecutableCandidate& candidate) { return MatchKey(FileStem(CandidateFullPath(candidate))); }

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

// The engine writes the game's own executable there; "Engine\Binaries\Win64"
// holds the engine's tools (the crash reporter), never the game.
bool IsGameBinariesFolder(const std::vector<std::wstring_view>& names) {
  if (names.size() != 3 || LowerKey(names[0]) == L"engine" || LowerKey(names[1]) != L"binaries") return false;
  const std::wstring platform = LowerKey(names[2]);
  return platform == L"win64" || platform == L"wingdk";
}

bool IsShippingName(std::wstring_view fileName) { return LowerKey(fileName).ends_with(L"-shipping.exe"); }

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
  const std::wstring launcherKey = StemKey(start);
  if (!shipping.empty()) {
    // Several builds side by side (Win64 and WinGDK, or another project's):
    // the one named after the launcher.
    for (const size_t i : shipping) {
      if (StemKey(candidates[i]).starts_with(launcherKey)) return i;
    }
    return shipping.front();
  }
  // The real game under the launcher's own name: the launcher is a
  // bootstrap, whatever its product name says.
  for (const size_t i : inBinaries) {
    if (!launcherKey.empty() && StemKey(candidates[i]) == launcherKey) return i;
  }
  if (start.productName == kBootstrapProductName && inBinaries.size() == 1) return inBinaries.front();
  return std::nullopt;
}

namespace {

ExecutableChoice ChooseByName(const std::wstring& gamePath, const std::vector<ExecutableCandidate>& candidates) {
  const ExecutableChoice matched = MatchByName(gamePath, candidates);
  if (!matched.index) return matched;
  if (const std::optional<size_t> game = PackagedGameExecutable(gamePath, candidates, *matched.index)) {
    return {game, ExeChoice::Unreal};
  }
  return matched;
}

}  // namespace

std::optional<size_t> ChooseExecutable(const std::wstring& gamePath,
                                       const std::vector<ExecutableCandidate>& candidates) {
  return ChooseByName(gamePath, candidates).index;
}

ExecutableChoice DecideExecutable(const std::wstring& gamePath, const std::vector<ExecutableCandidate>& candidates) {
  ExecutableChoice choice = ChooseByName(gamePath, candidates);
  if (!choice.index) {
    const std::optional<size_t> fallback = FallbackExecutable(gamePath, candidates);
    if (!fallback) return {};
    choice = {fallback, ExeChoice::Fallback};
  }
  choice.index = PreferSoundBuild(gamePath, candidates, *choice.index);
  return choice;
}

std::optional<size_t> MatchExecutable(const std::wstring& gamePath,
                                       const std::vector<ExecutableCandidate>& candidates) {
  return MatchByName(gamePath, candidates).index;
}

ExecutableChoice LauncherNamedExecutable(const std::wstring& gamePath,
                                         const std::vector<ExecutableCandidate>& candidates,
                                         const std::wstring& named) {
  const std::wstring key = LowerKey(named);
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (LowerKey(CandidateFullPath(candidates[i])) != key) continue;
    return {PackagedGameExecutable(gamePath, candidates, i).value_or(i), ExeChoice::Launcher};
  }
  return {};
}

}  // namespace zrcc
