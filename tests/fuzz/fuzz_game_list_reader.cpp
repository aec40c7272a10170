// data.ini reader: any bytes must parse without fault; no path or
// executable folder read holds a NUL; after one save and load the list is a
// fixed point of save-then-load, and no value read back from a saved file
// holds a line break.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/game_list_file.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto first = ReadGameListEntries(bytes);
  for (const auto& e : first) {
    Check(e.path.find(L'\0') == std::wstring::npos && e.exeFolder.find(L'\0') == std::wstring::npos);
  }
  const std::string saved = FormatGameListFile(first);
  const auto second = ReadGameListEntries(saved);
  Check(second.size() <= first.size());
  for (const auto& e : second) {
    for (const std::wstring* v : {&e.path, &e.exeFolder, &e.name}) {
      Check(v->find(L'\n') == std::wstring::npos && v->find(L'\r') == std::wstring::npos);
    }
    Check(!e.path.empty());
  }
  const std::string savedAgain = FormatGameListFile(second);
  Check(ReadGameListEntries(savedAgain) == second);
  Check(FormatGameListFile(ReadGameListEntries(savedAgain)) == savedAgain);
  return 0;
}
