#include "core/exe_fallback.h"

#include <array>
#include <cstdint>
#include <cwctype>
#include <string_view>

#include "core/paths.h"
#include "core/text.h"

namespace zrcc {

namespace {

using Place = std::vector<std::wstring_view>;  // the folders below the game folder

// Match keys of names that never belong to the game itself.
constexpr std::array<std::wstring_view, 15> kHelperStarts = {
    L"unins",  L"vcredist", L"dxsetup",     L"dxwebsetup", L"dotnet",  L"ndp",    L"oalinst",           L"physx",
    L"directx", L"easyanticheat", L"beservice", L"battleye", L"setup", L"install", L"startprotectedgame"};
constexpr std::array<std::wstring_view, 12> kHelperParts = {
    L"crashreport", L"crashhandler", L"crashpad", L"crashsender", L"crashdump",       L"bugsplat",
    L"bssndrpt",    L"redist",       L"prereq",   L"subprocess",  L"webengineprocess", L"uninstall"};
constexpr std::array<std::wstring_view, 4> kHelperEnds = {L"setup", L"installer", L"updater", L"crashreporter"};
// Folders whose executables are installers and runtimes, never the game.
constexpr std::array<std::wstring_view, 20> kHelperFolders = {
    L"commonredist",  L"installer",        L"installers",    L"redist",    L"redists",
    L"redistributable", L"redistributables", L"directx",     L"easyanticheat", L"easyanticheateos",
    L"battleye",      L"prerequisites",    L"prereqs",       L"prereq",    L"vcredist",
    L"dotnet",        L"dotnetfx",         L"physx",         L"crashreporter", L"crashpad"};
// Folders of 32-bit builds, which give way to 64-bit ones.
constexpr std::array<std::wstring_view, 7> k32BitFolders = {L"x86", L"win32", L"winx86", L"bin32",
                                                            L"x32", L"i386",  L"32bit"};
// Build tags written after a game's name: "Kestrel_x64", "KestrelDX11vk".
constexpr std::array<std::wstring_view, 32> kBuildTags = {
    L"x64",   L"x86",   L"x8664",  L"amd64",  L"win64",  L"win32",   L"wingdk", L"64",
    L"32",    L"64bit", L"32bit",  L"dx9",    L"dx10",   L"dx11",    L"dx12",   L"d3d11",
    L"d3d12", L"vk",    L"vulkan", L"gl",     L"opengl", L"ship",    L"shipping", L"release",
    L"retail", L"final", L"steam", L"epic",   L"egs",    L"gog",     L"game",   L"client"};
constexpr std::wstring_view kBootstrapProductName = L"BootstrapPackagedGame";

// Keys longer than these are nobody's executable name; they are passed over
// rather than matched at a cost that grows with their length.
constexpr size_t kMaxStemKey = 96;
constexpr size_t kMaxWords = 24;

template <size_t N>
bool IsOneOf(std::wstring_view key, const std::array<std::wstring_view, N>& list) {
  for (const std::wstring_view item : list) {
    if (key == item) return true;
  }
  return false;
}

bool IsHelperName(const std::wstring& key) {
  for (const std::wstring_view start : kHelperStarts) {
    if (key.starts_with(start)) return true;
  }
  for (const std::wstring_view part : kHelperParts) {
    if (key.find(part) != std::wstring::npos) return true;
  }
  for (const std::wstring_view end : kHelperEnds) {
    if (key.ends_with(end)) return true;
  }
  return false;
}

bool IsHelperPlace(const Place& place) {
  for (const std::wstring_view folder : place) {
    if (IsOneOf(MatchKey(folder), kHelperFolders)) return true;
  }
  // An Unreal game's Engine\Binaries and Engine\Extras hold the engine's
  // tools and prerequisites.
  if (place.size() >= 2 && MatchKey(place[0]) == L"engine") {
    const std::wstring second = MatchKey(place[1]);
    return second == L"binaries" || second == L"extras" || second == L"plugins";
  }
  return false;
}

bool Is32BitPlace(const Place& place) {
  for (const std::wstring_view folder : place) {
    if (IsOneOf(MatchKey(folder), k32BitFolders)) return true;
  }
  return false;
}

// The mod's DLL is 64-bit: it never loads into a 32-bit process.
bool Is32BitBuild(const ExecutableCandidate& candidate) { return candidate.machine == PeMachine::X86; }

bool IsLauncher(const ExecutableCandidate& candidate) {
  return StemKey(candidate).find(L"launch") != std::wstring::npos || candidate.productName == kBootstrapProductName;
}

// The words of a folder name, as match keys: split at everything that is
// no letter or digit, between letters and digits, and where a lower-case
// letter meets an upper-case one ("GodOfWar", "DOOMEternal", "Fallout4").
std::vector<std::wstring> FolderWords(std::wstring_view name) {
  std::vector<std::wstring> words;
  std::wstring word;
  auto finish = [&] {
    if (!word.empty()) words.push_back(MatchKey(word));
    word.clear();
  };
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<std::wint_t>(name[i]);
    if (!std::iswalnum(c)) {
      finish();
      continue;
    }
    if (!word.empty()) {
      const auto before = static_cast<std::wint_t>(name[i - 1]);
      const bool lowerAfter = i + 1 < name.size() && std::iswlower(static_cast<std::wint_t>(name[i + 1]));
      const bool digitsChange = (std::iswdigit(before) != 0) != (std::iswdigit(c) != 0);
      const bool capitalAfterLower = std::iswlower(before) && std::iswupper(c);
      const bool capitalsEnd = std::iswupper(before) && std::iswupper(c) && lowerAfter;
      if (digitsChange || capitalAfterLower || capitalsEnd) finish();
    }
    word.push_back(name[i]);
  }
  finish();
  return words;
}

std::wstring RomanNumeral(int n) {
  static constexpr std::array<std::wstring_view, 10> kUnits = {L"",  L"i",  L"ii",  L"iii",  L"iv",
                                                               L"v", L"vi", L"vii", L"viii", L"ix"};
  return std::wstring(static_cast<size_t>(n / 10), L'x') + std::wstring(kUnits[static_cast<size_t>(n % 10)]);
}

// The spellings of a word that is a number: as written, in digits ("4")
// and as a Roman numeral ("iv", up to 39, which is as far as titles go);
// nothing for any other word.
std::vector<std::wstring> NumberSpellings(const std::wstring& word) {
  int value = 0;
  if (word.size() <= 4 && word.find_first_not_of(L"0123456789") == std::wstring::npos) {
    for (const wchar_t digit : word) value = value * 10 + (digit - L'0');
  } else {
    for (int n = 1; n <= 39 && value == 0; ++n) {
      if (RomanNumeral(n) == word) value = n;
    }
  }
  if (value <= 0) return {};
  std::vector<std::wstring> spellings = {word};
  for (std::wstring other : {std::to_wstring(value), value <= 39 ? RomanNumeral(value) : std::wstring()}) {
    if (!other.empty() && other != word) spellings.push_back(std::move(other));
  }
  return spellings;
}

// Whether `key` is spelt from `words` in order: every word whole (numbers
// either way), or, for an abbreviation, any of them by its beginning or its
// number and the rest left out. An abbreviation needs two pieces, or one
// word whole.
class WordMatcher {
 public:
  WordMatcher(const std::wstring& key, const std::vector<std::wstring>& words, bool abbreviation)
      : key_(key), words_(words), abbreviation_(abbreviation), seen_((key.size() + 1) * (words.size() + 1) * 4, 0) {
    for (const std::wstring& word : words_) numbers_.push_back(NumberSpellings(word));
  }

  bool Matches() { return From(0, 0, kNoPiece); }

 private:
  // Pieces so far: none, one whole word, one shortened word, two or more.
  enum Pieces : uint8_t { kNoPiece, kOneWhole, kOnePart, kSeveral };

  static Pieces Add(Pieces pieces, bool whole) {
    if (pieces == kNoPiece) return whole ? kOneWhole : kOnePart;
    return kSeveral;
  }

  bool From(size_t at, size_t word, Pieces pieces) {
    if (at == key_.size()) {
      if (!abbreviation_) return word == words_.size();
      return pieces == kOneWhole || pieces == kSeveral;
    }
    if (word == words_.size()) return false;
    uint8_t& state = seen_[((at * (words_.size() + 1)) + word) * 4 + pieces];
    if (state) return state == 2;
    state = 1;
    bool found = false;
    const std::wstring_view rest = std::wstring_view(key_).substr(at);
    // A number, whole, in any of its spellings.
    for (const std::wstring& number : numbers_[word]) {
      if (!found && rest.starts_with(number)) found = From(at + number.size(), word + 1, Add(pieces, true));
    }
    const std::wstring& text = words_[word];
    if (!abbreviation_) {
      if (!found && numbers_[word].empty() && rest.starts_with(text)) {
        found = From(at + text.size(), word + 1, Add(pieces, true));
      }
    } else {
      // Any beginning of a word that is no number, or the word left out.
      for (size_t length = 1; !found && numbers_[word].empty() && length <= text.size() &&
                              rest.starts_with(std::wstring_view(text).substr(0, length));
           ++length) {
        found = From(at + length, word + 1, Add(pieces, length == text.size()));
      }
      if (!found) found = From(at, word + 1, pieces);
    }
    state = found ? 2 : 3;
    return found;
  }

  const std::wstring& key_;
  const std::vector<std::wstring>& words_;
  const bool abbreviation_;
  std::vector<std::vector<std::wstring>> numbers_;
  std::vector<uint8_t> seen_;  // 0 not yet, 1 in progress, 2 matches, 3 does not
};

// The stem key with none, one or more build tags cut from its end, longest
// first.
std::vector<std::wstring> WithoutBuildTags(const std::wstring& key) {
  std::vector<std::wstring> forms = {key};
  for (size_t i = 0; i < forms.size(); ++i) {
    for (const std::wstring_view tag : kBuildTags) {
      if (forms[i].size() > tag.size() && forms[i].ends_with(tag)) {
        std::wstring shorter = forms[i].substr(0, forms[i].size() - tag.size());
        bool known = false;
        for (const std::wstring& form : forms) known = known || form == shorter;
        if (!known) forms.push_back(std::move(shorter));
      }
    }
  }
  return forms;
}

bool NamesFolder(const ExecutableCandidate& candidate, const std::vector<std::wstring>& words, bool abbreviation) {
  const std::wstring key = StemKey(candidate);
  if (key.size() > kMaxStemKey || words.empty() || words.size() > kMaxWords) return false;
  for (const std::wstring& form : WithoutBuildTags(key)) {
    if (abbreviation && form.size() < 3) continue;
    if (WordMatcher(form, words, abbreviation).Matches()) return true;
  }
  return false;
}

struct Candidates {
  const std::vector<ExecutableCandidate>& list;
  std::vector<Place> places;  // of every candidate; helpers are not looked at

  // Of `picks`, the first, when they all lie in one folder once those of
  // 32-bit builds have given way; nothing when they lie in several.
  std::optional<size_t> InOneFolder(const std::vector<size_t>& picks) const {
    std::vector<size_t> kept;
    for (const size_t i : picks) {
      if (!Is32BitPlace(places[i]) && !Is32BitBuild(list[i])) kept.push_back(i);
    }
    if (kept.empty()) kept = picks;
    for (const size_t i : kept) {
      if (LowerKey(list[i].folder) != LowerKey(list[kept.front()].folder)) return std::nullopt;
    }
    return kept.front();
  }
};

// Words that name a build made for the game's developers, never for players.
constexpr std::array<std::wstring_view, 2> kDevelopmentWords = {L"development", L"debug"};

// The name shared by every build of one executable: the stem key with build
// tags and Development or Debug cut from its end, as far as they go.
std::wstring BuildFamily(const ExecutableCandidate& candidate) {
  std::wstring key = StemKey(candidate);
  if (key.size() > kMaxStemKey) return key;
  for (bool cut = true; cut;) {
    cut = false;
    for (const std::wstring& form : WithoutBuildTags(key)) {
      if (form.size() < key.size()) {
        key = form;
        cut = true;
      }
    }
    for (const std::wstring_view word : kDevelopmentWords) {
      if (key.size() > word.size() && key.ends_with(word)) {
        key.resize(key.size() - word.size());
        cut = true;
      }
    }
  }
  return key;
}

}  // namespace

bool IsDevelopmentBuild(const std::wstring& gamePath, const ExecutableCandidate& candidate) {
  for (const std::wstring& word : FolderWords(FileStem(candidate.fileName))) {
    if (IsOneOf(word, kDevelopmentWords)) return true;
  }
  if (const std::optional<Place> place = FoldersBelow(candidate.folder, gamePath)) {
    for (const std::wstring_view folder : *place) {
      if (IsOneOf(MatchKey(folder), kDevelopmentWords)) return true;
    }
  }
  return false;
}

size_t PreferSoundBuild(const std::wstring& gamePath, const std::vector<ExecutableCandidate>& candidates,
                        size_t chosen) {
  if (chosen >= candidates.size()) return chosen;
  auto faults = [&](const ExecutableCandidate& candidate) {
    return (Is32BitBuild(candidate) ? 2 : 0) + (IsDevelopmentBuild(gamePath, candidate) ? 1 : 0);
  };
  int fewest = faults(candidates[chosen]);
  if (fewest == 0) return chosen;
  const std::wstring family = BuildFamily(candidates[chosen]);
  size_t best = chosen;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (i == chosen || BuildFamily(candidates[i]) != family || IsHelperExecutable(gamePath, candidates[i])) continue;
    if (const int f = faults(candidates[i]); f < fewest) {
      fewest = f;
      best = i;
    }
  }
  return best;
}

bool IsHelperExecutable(const std::wstring& gamePath, const ExecutableCandidate& candidate) {
  const std::optional<Place> place = FoldersBelow(candidate.folder, gamePath);
  return !place || IsHelperName(StemKey(candidate)) || IsHelperPlace(*place);
}

std::optional<size_t> FallbackExecutable(const std::wstring& gamePath,
                                         const std::vector<ExecutableCandidate>& candidates) {
  Candidates all{candidates, {}};
  std::vector<size_t> usable;
  for (size_t i = 0; i < candidates.size(); ++i) {
    std::optional<Place> place = FoldersBelow(candidates[i].folder, gamePath);
    all.places.push_back(place ? std::move(*place) : Place{});
    if (place && !IsHelperName(StemKey(candidates[i])) && !IsHelperPlace(all.places.back())) usable.push_back(i);
  }

  // Each rule in turn: the first that recognises anything decides.
  auto decide = [&all](const std::vector<size_t>& recognised) -> std::optional<std::optional<size_t>> {
    if (recognised.empty()) return std::nullopt;
    return all.InOneFolder(recognised);
  };
  std::vector<size_t> shipping, inBinaries;
  for (const size_t i : usable) {
    if (!IsGameBinariesFolder(all.places[i])) continue;
    inBinaries.push_back(i);
    if (IsShippingName(candidates[i].fileName)) shipping.push_back(i);
  }
  if (const auto chosen = decide(shipping)) return *chosen;
  if (const auto chosen = decide(inBinaries)) return *chosen;

  const std::vector<std::wstring> words = FolderWords(LastComponent(gamePath));
  for (const bool abbreviation : {false, true}) {
    std::vector<size_t> named;
    for (const size_t i : usable) {
      if (!IsLauncher(candidates[i]) && NamesFolder(candidates[i], words, abbreviation)) named.push_back(i);
    }
    if (const auto chosen = decide(named)) return *chosen;
  }

  std::vector<size_t> games;
  for (const size_t i : usable) {
    if (!IsLauncher(candidates[i])) games.push_back(i);
  }
  if (games.empty()) games = usable;
  if (games.empty()) return std::nullopt;
  return all.InOneFolder(games);
}

}  // namespace zrcc
