// The lists the save loop writes, generation by generation.
#pragma once

#include <string>
#include <vector>

#include "core/catalogue.h"

namespace zrcc {

inline size_t SaveLoopListSize(unsigned generation) { return 800 + (generation * 37u) % 600u; }

inline std::vector<Game> SaveLoopList(unsigned generation) {
  std::vector<Game> games(SaveLoopListSize(generation));
  for (size_t i = 0; i < games.size(); ++i) {
    games[i].path = L"D:\\Library " + std::to_wstring(generation % 7) + L"\\Game " + std::to_wstring(i);
    games[i].exeFolder = i % 3 ? L"Binaries\\Win64" : L"";
    games[i].name = L"gen " + std::to_wstring(generation) + L" game " + std::to_wstring(i);
  }
  return games;
}

}  // namespace zrcc
