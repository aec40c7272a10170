#include "core/mod_rules.h"

#include "core/paths.h"
#include "core/text.h"

namespace zrcc {

std::wstring ExeFolderPath(const Game& game) { return JoinPath(game.path, game.exeFolder); }

std::wstring CopyFolderPath(const Game& game) {
  if (game.copyFolder == game.exeFolder) return ExeFolderPath(game);
  Game there = game;
  there.exeFolder = game.copyFolder;
  return ExeFolderPath(there);
}

bool IsDllCandidateName(std::wstring_view name) {
  return name.size() >= 4 && LowerKey(name.substr(name.size() - 4)) == L".dll";
}

bool IsPlainModDllName(std::wstring_view name) { return LowerKey(name) == L"zandrivell.dll"; }

ModState DecideModState(bool foundModDll, bool hasPlainName, const std::wstring& fileVersion) {
  if (!foundModDll) return ModState::None;
  if (hasPlainName) return ModState::Copied;
  return fileVersion.empty() ? ModState::None : ModState::Installed;
}

}  // namespace zrcc
