#include "core/catalogue.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/owner_thread.h"
#include "core/text.h"

namespace zrcc {

namespace {
GameList gGameList;
}  // namespace

Game* GetGame(int32_t index) {
  CheckOwnerThread();
  if (index < 0 || static_cast<size_t>(index) >= gGameList.games.size()) return nullptr;
  return &gGameList.games[static_cast<size_t>(index)];
}

int32_t GameCount() {
  CheckOwnerThread();
  return static_cast<int32_t>(gGameList.games.size());
}

const std::vector<Game>& AllGames() {
  CheckOwnerThread();
  return gGameList.games;
}

bool ContainsPath(const std::wstring& path) {
  CheckOwnerThread();
  return gGameList.pathKeys.count(LowerKey(path)) != 0;
}

void AddGame(Game game) {
  CheckOwnerThread();
  if (!gGameList.pathKeys.insert(LowerKey(game.path)).second) return;
  gGameList.games.push_back(std::move(game));
}

void ReserveGames(size_t count) {
  CheckOwnerThread();
  gGameList.games.reserve(count);
}

bool RemoveGameAt(int32_t index) {
  CheckOwnerThread();
  Game* game = GetGame(index);
  if (!game) return false;
  gGameList.pathKeys.erase(LowerKey(game->path));
  gGameList.games.erase(gGameList.games.begin() + index);
  return true;
}

void ClearGames() {
  CheckOwnerThread();
  gGameList.games.clear();
  gGameList.pathKeys.clear();
}

size_t PathKeyCount() {
  CheckOwnerThread();
  return gGameList.pathKeys.size();
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
    case ExeChoice::Launcher: return "launcher";
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
