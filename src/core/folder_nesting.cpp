#include "core/folder_nesting.h"

#include <string>

#include "core/paths.h"
#include "core/text.h"

namespace zrcc {

namespace {

bool IsSameOrInsideKey(const std::wstring& inner, const std::wstring& outer) {
  if (inner.size() == outer.size()) return inner == outer;
  return inner.size() > outer.size() && inner[outer.size()] == L'\\' && inner.compare(0, outer.size(), outer) == 0;
}

}  // namespace

std::wstring FolderKey(std::wstring_view path) {
  std::wstring key = LowerKey(PlainPath(path));
  for (wchar_t& c : key) {
    if (c == L'/') c = L'\\';
  }
  while (!key.empty() && key.back() == L'\\') key.pop_back();
  return key;
}

bool IsSameOrInsideFolder(std::wstring_view inner, std::wstring_view outer) {
  return IsSameOrInsideKey(FolderKey(inner), FolderKey(outer));
}

const Game* FindGameInside(const std::vector<Game>& games, std::wstring_view folder) {
  const std::wstring key = FolderKey(folder);
  for (const Game& game : games) {
    const std::wstring gameKey = FolderKey(game.path);
    if (gameKey != key && IsSameOrInsideKey(gameKey, key)) return &game;
  }
  return nullptr;
}

const Game* FindGameHolding(const std::vector<Game>& games, std::wstring_view folder) {
  const std::wstring key = FolderKey(folder);
  for (const Game& game : games) {
    if (IsSameOrInsideKey(key, FolderKey(game.path))) return &game;
  }
  return nullptr;
}

}  // namespace zrcc
