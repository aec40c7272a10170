#include "core/update_all.h"

namespace zrcc {

namespace {

// A box must still fit on the screen: at most this many names per list.
constexpr size_t kListedNames = 20;

std::wstring Lines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (size_t i = 0; i < lines.size() && i < kListedNames; ++i) text += L"  " + lines[i] + L"\n";
  if (lines.size() > kListedNames) text += L"  and " + std::to_wstring(lines.size() - kListedNames) + L" more\n";
  return text;
}

std::wstring Games(size_t count) { return count == 1 ? L"1 game" : std::to_wstring(count) + L" games"; }

std::wstring SkipWords(const SkippedUpdate& skip) {
  switch (skip.why) {
    case UpdateSkip::Running: {
      const size_t cut = skip.detail.find_last_of(L"\\/");
      return L"it is running (" + (cut == std::wstring::npos ? skip.detail : skip.detail.substr(cut + 1)) + L")";
    }
    case UpdateSkip::AntiCheatDeclined: return L"it uses anti-cheat, and updating it was declined";
    case UpdateSkip::SteamUpdateDeclined: return L"Steam is updating it, and updating it was declined";
    case UpdateSkip::FolderGone: return L"its folder cannot be reached";
  }
  return {};
}

}  // namespace

std::wstring UpdateAllQuestion(const std::vector<std::wstring>& titles, const PackageFacts& package) {
  std::wstring version = package.version;
  if (!package.build.empty()) version += L", build " + package.build;
  return L"Update ZandRivell to version " + version + L" in " + Games(titles.size()) + L", one after another?\n\n" +
         Lines(titles);
}

std::wstring UpdateAllAntiCheatQuestion(const std::vector<std::wstring>& titles) {
  if (titles.empty()) return {};
  return L"These games use anti-cheat. A mod loaded into a game with anti-cheat can get your account banned in "
         L"online play, or keep the game from starting.\n\n" +
         Lines(titles) + L"\nUpdate ZandRivell in them too? No: they are left as they are.";
}

std::wstring UpdateAllSteamQuestion(const std::vector<std::wstring>& titles) {
  if (titles.empty()) return {};
  return L"Steam is updating these games, or has an update of them pending or paused. It may replace or remove "
         L"files while it runs.\n\n" +
         Lines(titles) + L"\nUpdate ZandRivell in them too? No: they are left as they are.";
}

std::wstring UpdateAllSummary(const UpdateAllTally& tally) {
  std::wstring text = L"Updated: " + Games(tally.updated.size()) + L".\n" + Lines(tally.updated);
  if (!tally.skipped.empty()) {
    std::vector<std::wstring> lines;
    for (const SkippedUpdate& skip : tally.skipped) lines.push_back(skip.title + L": " + SkipWords(skip));
    text += L"\nSkipped, left as they were: " + Games(lines.size()) + L".\n" + Lines(lines);
  }
  if (!tally.failed.empty()) {
    text += L"\nFailed: " + Games(tally.failed.size()) + L".\n";
    for (size_t i = 0; i < tally.failed.size() && i < kListedNames; ++i) {
      text += L"  " + tally.failed[i].title + L": the update stopped " + tally.failed[i].why + L"\n";
    }
    if (tally.failed.size() > kListedNames) {
      text += L"  and " + std::to_wstring(tally.failed.size() - kListedNames) + L" more\n";
    }
    text += L"The list shows what their folders hold now.\n";
  }
  return text;
}

bool UpdateAllWentWell(const UpdateAllTally& tally) {
  return tally.skipped.empty() && tally.failed.empty();
}

}  // namespace zrcc
