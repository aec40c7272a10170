#include "core/found_games.h"

#include <unordered_set>

#include "core/folder_nesting.h"
#include "core/paths.h"
#include "core/text.h"

namespace zrcc {

namespace {

// Absolute, or at least not relative to the game folder: "D:\...", "D:x",
// "\...", "\\server\...".
bool IsRooted(std::wstring_view path) {
  return (!path.empty() && (path[0] == L'\\' || path[0] == L'/')) || (path.size() >= 2 && path[1] == L':');
}

std::wstring Count(size_t n, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

constexpr size_t kSkipsNamed = 8;

}  // namespace

std::wstring SearchingText(GameSource source) {
  if (source == GameSource::Steam) return L"Searching Steam libraries...";
  return L"Searching " + std::wstring(GameSourceName(source)) + L" games...";
}

const wchar_t* GameSourceName(GameSource source) {
  switch (source) {
    case GameSource::Steam: return L"Steam";
    case GameSource::Epic: return L"Epic";
    case GameSource::Gog: return L"GOG";
    case GameSource::Xbox: return L"Xbox";
    case GameSource::Ea: return L"EA";
    case GameSource::Ubisoft: return L"Ubisoft";
    case GameSource::BattleNet: return L"Battle.net";
    case GameSource::Rockstar: return L"Rockstar";
    case GameSource::Amazon: return L"Amazon";
    case GameSource::Heroic: return L"Heroic";
    case GameSource::Legendary: return L"legendary";
  }
  return L"";
}

const wchar_t* SkipReasonText(SkipReason reason) {
  switch (reason) {
    case SkipReason::NetworkFolder: return L"network folder";
    case SkipReason::NotAFullPath: return L"not a full path";
    case SkipReason::DriveNotPresent: return L"drive not present";
    case SkipReason::FolderNotFound: return L"folder not found";
    case SkipReason::CannotBeRead: return L"cannot be read";
    case SkipReason::TooLarge: return L"too large";
    case SkipReason::NotUnderstood: return L"not understood";
    case SkipReason::NoFolderNamed: return L"no folder named";
    case SkipReason::VolumeRoot: return L"a whole drive, not a game folder";
    case SkipReason::Locked: return L"locked";
    case SkipReason::Damaged: return L"damaged, read up to the damage";
  }
  return L"";
}

std::wstring FindSkipSubject(const FindSkip& skip) {
  std::wstring what;
  switch (skip.item) {
    case SkipItem::SteamInstallation: what = L"Steam installation "; break;
    case SkipItem::SteamLibraryList: what = L"Steam library list "; break;
    case SkipItem::SteamLibrary: what = L"library "; break;
    case SkipItem::LauncherFile: what = std::wstring(GameSourceName(skip.source)) + L" manifest "; break;
    case SkipItem::LauncherList: what = std::wstring(GameSourceName(skip.source)) + L" list "; break;
    case SkipItem::LauncherGame: what = std::wstring(GameSourceName(skip.source)) + L" game "; break;
  }
  return what + skip.name;
}

std::wstring FindSkipText(const FindSkip& skip) {
  return FindSkipSubject(skip) + L" (" + SkipReasonText(skip.reason) + L")";
}

std::optional<std::wstring> LauncherExecutableBelow(std::wstring_view gameFolder, std::wstring_view named) {
  named = TrimBlanks(named);
  std::vector<std::wstring_view> parts;
  std::wstring plainNamed;
  if (IsRooted(named)) {
    plainNamed = PlainPath(named);
    parts = PathComponents(plainNamed);
    const std::wstring plainFolder = PlainPath(gameFolder);
    const std::vector<std::wstring_view> folder = PathComponents(plainFolder);
    if (folder.empty() || parts.size() <= folder.size()) return std::nullopt;
    for (size_t i = 0; i < folder.size(); ++i) {
      if (LowerKey(parts[i]) != LowerKey(folder[i])) return std::nullopt;
    }
    parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(folder.size()));
  } else {
    parts = PathComponents(named);
  }
  if (parts.empty()) return std::nullopt;
  std::wstring relative;
  for (const std::wstring_view part : parts) {
    // ".." would leave the folder; a colon names a stream or a drive, no file below it.
    if (part == L".." || part.find(L':') != std::wstring_view::npos) return std::nullopt;
    relative = JoinPath(relative, part);
  }
  return relative;
}

std::optional<std::wstring> LauncherFolderPath(std::wstring_view named) {
  constexpr size_t kMaxPathUnits = 32767;
  named = TrimBlanks(named);
  if (named.empty() || named.size() > kMaxPathUnits || named.find(L'\0') != std::wstring_view::npos) {
    return std::nullopt;
  }
  std::wstring folder(named);
  for (wchar_t& c : folder) c = c == L'/' ? L'\\' : c;
  const bool onDrive = folder.size() >= 3 && folder[1] == L':' && folder[2] == L'\\' &&
                       ((folder[0] >= L'A' && folder[0] <= L'Z') || (folder[0] >= L'a' && folder[0] <= L'z'));
  const bool onShare = folder.size() > 2 && folder[0] == L'\\' && folder[1] == L'\\' && folder[2] != L'?' &&
                       folder[2] != L'.' && folder[2] != L'\\';
  if (!onDrive && !onShare) return std::nullopt;
  if (folder.find(L':', onDrive ? 2 : 0) != std::wstring::npos) return std::nullopt;
  const size_t keep = onDrive ? 3 : 2;
  while (folder.size() > keep && folder.back() == L'\\') folder.pop_back();
  return folder;
}

std::vector<size_t> OutermostFolders(const std::vector<std::wstring>& folders) {
  std::vector<std::wstring> keys;
  keys.reserve(folders.size());
  std::unordered_set<std::wstring> all;
  for (const std::wstring& folder : folders) {
    keys.push_back(FolderKey(folder));
    if (!keys.back().empty()) all.insert(keys.back());
  }
  std::vector<size_t> kept;
  std::unordered_set<std::wstring> taken;
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::wstring& key = keys[i];
    if (key.empty() || taken.count(key)) continue;
    bool inside = false;
    for (size_t cut = key.find(L'\\'); cut != std::wstring::npos && !inside; cut = key.find(L'\\', cut + 1)) {
      inside = all.count(key.substr(0, cut)) > 0;
    }
    if (inside) continue;
    taken.insert(key);
    kept.push_back(i);
  }
  return kept;
}

std::wstring FindSummaryText(const FindTally& tally, const std::vector<FindSkip>& skipped) {
  const size_t found = tally.added + tally.alreadyListed + tally.noExecutable + tally.cannotBeChanged;
  std::wstring text;
  if (found == 0) {
    text = L"Found no games.";
  } else {
    text = L"Found " + Count(found, L"game", L"games") + L": " + std::to_wstring(tally.added) + L" added";
    std::wstring from;
    for (size_t source = 0; source < kGameSourceCount; ++source) {
      if (!tally.addedFrom[source]) continue;
      from += (from.empty() ? L"" : L", ") + std::wstring(GameSourceName(static_cast<GameSource>(source))) + L" " +
              std::to_wstring(tally.addedFrom[source]);
    }
    if (!from.empty()) text += L" (" + from + L")";
    if (tally.alreadyListed) text += L", " + std::to_wstring(tally.alreadyListed) + L" already in the list";
    if (tally.noExecutable) {
      text += L", " + std::to_wstring(tally.noExecutable) + L" without an executable";
    }
    if (tally.cannotBeChanged) {
      text += L", " + std::to_wstring(tally.cannotBeChanged) + L" cannot be changed (protected Microsoft Store folders)";
    }
    text += L".";
  }
  if (skipped.empty()) return text;
  text += L" Skipped: ";
  for (size_t i = 0; i < skipped.size() && i < kSkipsNamed; ++i) {
    if (i > 0) text += L"; ";
    text += FindSkipText(skipped[i]);
  }
  if (skipped.size() > kSkipsNamed) text += L"; and " + std::to_wstring(skipped.size() - kSkipsNamed) + L" more";
  return text + L".";
}

}  // namespace zrcc
