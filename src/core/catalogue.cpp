#include "core/catalogue.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/text.h"

namespace zrcc {

GameList gGameList;

Game* GetGame(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= gGameList.games.size()) return nullptr;
  return &gGameList.games[static_cast<size_t>(index)];
}

int32_t GameCount() { return static_cast<int32_t>(gGameList.games.size()); }

bool ContainsPath(const std::wstring& path) {
  return gGameList.pathKeys.count(LowerKey(path)) != 0;
}

void AddGame(Game game) {
  if (!gGameList.pathKeys.insert(LowerKey(game.path)).second) return;
  gGameList.games.push_back(std::move(game));
}

bool RemoveGameAt(int32_t index) {
  Game* game = GetGame(index);
  if (!game) return false;
  gGameList.pathKeys.erase(LowerKey(game->path));
  gGameList.games.erase(gGameList.games.begin() + index);
  return true;
}

void ClearGames() {
  gGameList.games.clear();
  gGameList.pathKeys.clear();
}

std::wstring ModStateText(ModState state) {
  switch (state) {
    case ModState::Copied: return L"Copied";
    case ModState::Installed: return L"Installed";
    default: return L"";
  }
}

const char* ExeChoiceName(ExeChoice choice) {
  switch (choice) {
    case ExeChoice::FileName: return "fileName";
    case ExeChoice::ProductName: return "productName";
    case ExeChoice::Unreal: return "unreal";
    case ExeChoice::Fallback: return "fallback";
    case ExeChoice::None: return "none";
    case ExeChoice::User: return "user";
    case ExeChoice::Listed: break;
  }
  return "listed";
}

void BrokenInvariant(const char* message, const char* sourceFile, int line, const char* routine) {
  std::fprintf(stderr, "Assertion failed: %s, file %s, line %d (in %s)\n", message, sourceFile, line, routine);
  std::fflush(stderr);
  std::abort();
}

}  // namespace zrcc
