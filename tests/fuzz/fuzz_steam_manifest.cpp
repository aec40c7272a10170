// Steam manifest values: any bytes must be searched without fault, and any
// value read can be written back the way Steam escapes it and read again
// unchanged. The update state's numbers stand in the bytes as written.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/steam_manifest_text.h"
#include "core/text.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

// A quote or a backslash gets a backslash before it, as Steam writes them.
static std::wstring SteamEscaped(const std::wstring& value) {
  std::wstring escaped;
  for (wchar_t c : value) {
    if (c == L'"' || c == L'\\') escaped += L'\\';
    escaped += c;
  }
  return escaped;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  for (const wchar_t* key : {L"name", L"installdir"}) {
    const std::wstring value = ExtractQuotedValue(bytes, size, key);
    // A value lies inside the text: never longer than the input.
    Check(value.size() <= size);
    const std::string written = EncodeUtf8(L"\"" + std::wstring(key) + L"\"\t\t\"" + SteamEscaped(value) + L"\"");
    Check(ExtractQuotedValue(written.data(), written.size(), key) == value);
  }
  const SteamAppState state = ReadSteamAppState(bytes, size);
  const std::string_view input(bytes, size);
  for (const auto& number : {state.stateFlags, state.buildId, state.targetBuildId}) {
    Check(!number || input.find(std::to_string(*number)) != std::string_view::npos);
  }
  DecideSteamUpdate(state);
  return 0;
}
