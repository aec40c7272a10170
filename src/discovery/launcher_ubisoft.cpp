#include "discovery/launcher_ubisoft.h"

#include <unordered_set>

#include "core/found_games.h"
#include "core/paths.h"
#include "core/text.h"
#include "discovery/launcher_common.h"
#include "platform/registry.h"

namespace zrcc {

namespace {

constexpr wchar_t kInstallsKey[] = L"SOFTWARE\\WOW6432Node\\Ubisoft\\Launcher\\Installs";

}  // namespace

GameSearch SearchUbisoftGames() {
  GameSearch search;
  std::unordered_set<std::wstring> folders;
  for (const std::wstring& id : RegistrySubkeys(HKEY_LOCAL_MACHINE, kInstallsKey)) {
    const std::wstring named =
        ReadRegistryText(HKEY_LOCAL_MACHINE, JoinPath(kInstallsKey, id), L"InstallDir").value_or(L"");
    const FindSkip what = Skipped(SkipItem::LauncherGame, GameSource::Ubisoft, id);
    if (TrimBlanks(named).empty()) {
      search.skipped.push_back(Skipped(SkipItem::LauncherGame, GameSource::Ubisoft, id, SkipReason::NoFolderNamed));
      continue;
    }
    const std::wstring path = UsableLauncherFolder(named, what, search.skipped);
    if (path.empty()) continue;
    AddFoundGame(search, folders, {GameSource::Ubisoft, path, LastComponent(PlainPath(path)), {}});
  }
  return search;
}

}  // namespace zrcc
