#include "discovery/launcher_heroic.h"

#include <unordered_set>

#include "core/found_games.h"
#include "core/launcher_files.h"
#include "core/launcher_json.h"
#include "core/paths.h"
#include "discovery/launcher_common.h"

namespace zrcc {

namespace {

struct ListFile {
  const KNOWNFOLDERID* base;
  const wchar_t* below;
  GameSource source;
};

const ListFile kListFiles[] = {
    {&FOLDERID_Profile, L".config\\legendary\\installed.json", GameSource::Legendary},
    {&FOLDERID_RoamingAppData, L"heroic\\legendaryConfig\\legendary\\installed.json", GameSource::Heroic},
    {&FOLDERID_RoamingAppData, L"heroic\\gog_store\\installed.json", GameSource::Heroic},
    {&FOLDERID_RoamingAppData, L"heroic\\nile_config\\nile\\installed.json", GameSource::Heroic},
};

}  // namespace

GameSearch SearchHeroicGames() {
  GameSearch search;
  std::unordered_set<std::wstring> folders;
  for (const ListFile& list : kListFiles) {
    const std::wstring base = KnownFolderPath(*list.base);
    if (base.empty()) continue;
    const std::wstring file = JoinPath(base, list.below);
    const auto bytes = ReadLauncherFileBytes(file, Skipped(SkipItem::LauncherList, list.source, file), search.skipped,
                                             kMaxLauncherFileBytes);
    if (!bytes) continue;
    const std::optional<std::vector<ListedGame>> games = ReadInstalledGames(*bytes);
    if (!games) {
      search.skipped.push_back(Skipped(SkipItem::LauncherList, list.source, file, SkipReason::NotUnderstood));
      continue;
    }
    for (const ListedGame& game : *games) {
      const std::wstring title = game.title.empty() ? LastComponent(game.installPath) : game.title;
      const std::wstring path =
          UsableLauncherFolder(game.installPath, Skipped(SkipItem::LauncherGame, list.source, title), search.skipped);
      if (path.empty()) continue;
      AddFoundGame(search, folders,
                   {list.source, path, game.title, LauncherExecutableBelow(path, game.executable).value_or(L"")});
    }
  }
  return search;
}

}  // namespace zrcc
