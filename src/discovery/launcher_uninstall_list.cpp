#include "discovery/launcher_uninstall_list.h"

#include <tuple>
#include <unordered_set>

#include "core/paths.h"
#include "core/text.h"
#include "core/uninstall_rules.h"
#include "discovery/launcher_common.h"
#include "platform/registry.h"

namespace zrcc {

namespace {

constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kUninstall32[] = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kRockstarKey[] = L"SOFTWARE\\WOW6432Node\\Rockstar Games";

std::wstring Text(HKEY root, const std::wstring& key, const wchar_t* name) {
  return ReadRegistryText(root, key, name).value_or(L"");
}

void AddListedGame(GameSearch& search, std::unordered_set<std::wstring>& folders, GameSource source,
                   const std::wstring& name, const std::wstring& named) {
  if (TrimBlanks(named).empty()) {
    search.skipped.push_back(Skipped(SkipItem::LauncherGame, source, name, SkipReason::NoFolderNamed));
    return;
  }
  const std::wstring path = UsableLauncherFolder(named, Skipped(SkipItem::LauncherGame, source, name), search.skipped);
  if (!path.empty()) AddFoundGame(search, folders, {source, path, name, {}});
}

// Rockstar's keys of its launcher and of Social Club hold install folders
// too; they are no games.
bool IsRockstarProgramKey(const std::wstring& key) {
  const std::wstring lower = LowerKey(key);
  return lower == L"launcher" || lower == L"rockstar games launcher" || lower == L"social club" ||
         lower == L"rockstar games social club";
}

}  // namespace

GameSearch SearchUninstallListGames() {
  GameSearch search;
  std::unordered_set<std::wstring> folders;
  for (const auto& [root, list] : {std::tuple{HKEY_LOCAL_MACHINE, kUninstall}, std::tuple{HKEY_LOCAL_MACHINE, kUninstall32},
                                   std::tuple{HKEY_CURRENT_USER, kUninstall}}) {
    for (const std::wstring& id : RegistrySubkeys(root, list)) {
      const std::wstring key = JoinPath(list, id);
      const UninstallEntry entry{Text(root, key, L"DisplayName"), Text(root, key, L"InstallLocation"),
                                 Text(root, key, L"UninstallString")};
      const std::optional<LauncherUninstallGame> game = RecogniseLauncherGame(entry);
      if (!game) continue;
      const GameSource source = game->launcher == UninstallLauncher::BattleNet ? GameSource::BattleNet
                                                                               : GameSource::Rockstar;
      const std::wstring name = entry.displayName.empty() ? game->id : entry.displayName;
      AddListedGame(search, folders, source, name, entry.installLocation);
    }
  }
  for (const std::wstring& title : RegistrySubkeys(HKEY_LOCAL_MACHINE, kRockstarKey)) {
    if (IsRockstarProgramKey(title)) continue;
    const std::wstring named = Text(HKEY_LOCAL_MACHINE, JoinPath(kRockstarKey, title), L"InstallFolder");
    if (TrimBlanks(named).empty()) continue;  // a key of settings, not of a game
    AddListedGame(search, folders, GameSource::Rockstar, title, named);
  }
  return search;
}

}  // namespace zrcc
