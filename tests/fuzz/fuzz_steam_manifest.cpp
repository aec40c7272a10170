// Steam manifest values: any bytes must be searched without fault, and a
// value never holds the quote that ends it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/steam_manifest_text.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  for (const wchar_t* key : {L"name", L"installdir"}) {
    const std::wstring value = ExtractQuotedValue(bytes, size, key);
    Check(value.find(L'"') == std::wstring::npos);
    // A value lies inside the text: never longer than the input.
    Check(value.size() <= size);
  }
  return 0;
}
