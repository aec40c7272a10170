// Executable matching on arbitrary text: the input's bytes, taken in pairs
// as UTF-16 units, are split at NUL units into a game path and candidates
// (folder, file name and product name in turn).
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

#include "core/exe_fallback.h"
#include "core/exe_match.h"
#include "core/text.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

static void CheckKey(const std::wstring& text) {
  const std::wstring key = MatchKey(text);
  Check(key.size() <= text.size());
  Check(MatchKey(key) == key);
  for (const wchar_t c : key) {
    const auto unit = static_cast<std::wint_t>(c);
    Check(std::iswalnum(unit) && static_cast<std::wint_t>(std::towlower(unit)) == unit);
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::wstring> parts(1);
  for (size_t i = 0; i + 1 < size; i += 2) {
    const auto unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) parts.emplace_back();
    else parts.back().push_back(unit);
  }
  const std::wstring& gamePath = parts[0];
  std::vector<ExecutableCandidate> candidates;
  for (size_t i = 1; i < parts.size(); i += 3) {
    ExecutableCandidate c;
    c.folder = parts[i];
    if (i + 1 < parts.size()) c.fileName = parts[i + 1];
    if (i + 2 < parts.size()) c.productName = parts[i + 2];
    candidates.push_back(c);
  }
  for (const auto& part : parts) {
    CheckKey(part);
    const std::wstring stem = FileStem(part);
    Check(stem.find_first_of(L"\\/") == std::wstring::npos);
    Check(stem.size() <= part.size());
    // Only the last four units decide.
    Check(!IsExeName(part) || part.size() >= 4);
    if (part.size() >= 4) Check(IsExeName(part) == IsExeName(L"x\\" + part));
  }
  // The final choice is the match itself, or a packaged game's real
  // executable taken instead of a launcher that lies directly in the game
  // folder.
  const auto chosen = MatchExecutable(gamePath, candidates);
  const auto finalChoice = ChooseExecutable(gamePath, candidates);
  Check(finalChoice.has_value() == chosen.has_value());
  if (chosen && *finalChoice != *chosen) {
    Check(*finalChoice < candidates.size());
    Check(candidates[*chosen].folder == gamePath);
    Check(candidates[*finalChoice].folder.size() > gamePath.size());
    Check(LowerKey(candidates[*finalChoice].folder).find(L"\\binaries\\win") != std::wstring::npos);
  }
  // Detection takes that choice; where there is none, the fallback's, which
  // is never a helper.
  const ExecutableChoice decided = DecideExecutable(gamePath, candidates);
  if (finalChoice) {
    Check(decided.index == finalChoice);
  } else {
    Check(decided.index == FallbackExecutable(gamePath, candidates));
    Check(!decided.index || (*decided.index < candidates.size() && !IsHelperExecutable(gamePath, candidates[*decided.index])));
    Check(decided.index.has_value() == (decided.how == ExeChoice::Fallback));
  }
  if (chosen) {
    Check(*chosen < candidates.size());
    const ExecutableCandidate& c = candidates[*chosen];
    const std::wstring gameKey = MatchKey(gamePath);
    const std::wstring stemKey = MatchKey(FileStem(CandidateFullPath(c)));
    const std::wstring productKey = MatchKey(c.productName);
    const bool byName = !stemKey.empty() && gameKey.find(stemKey) != std::wstring::npos;
    const bool byProduct = !productKey.empty() && gameKey.find(productKey) != std::wstring::npos;
    Check(byName || byProduct);
    // No earlier candidate matched by file name, and a product-name choice
    // means no candidate at all matched by file name.
    for (size_t i = 0; i < candidates.size(); ++i) {
      const std::wstring key = MatchKey(FileStem(CandidateFullPath(candidates[i])));
      const bool nameMatch = !key.empty() && gameKey.find(key) != std::wstring::npos;
      if (i < *chosen || !byName) Check(!nameMatch);
    }
  } else {
    const std::wstring gameKey = MatchKey(gamePath);
    for (const auto& c : candidates) {
      for (const std::wstring& key : {MatchKey(FileStem(CandidateFullPath(c))), MatchKey(c.productName)}) {
        Check(key.empty() || gameKey.find(key) == std::wstring::npos);
      }
    }
  }
  return 0;
}
