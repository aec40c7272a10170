#include "discovery/exe_match.h"

#include <cwctype>

#include "helpers/paths.h"
#include "helpers/text.h"

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
}  // namespace

std::optional<size_t> ChooseExecutable(const std::wstring& gamePath,
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
