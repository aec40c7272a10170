// Steam's appinfo.vdf: any bytes are read without fault, what comes out is
// bounded by the input, and every executable stays below its install folder.
// Random bytes rarely get past the header, so each input is also applied as
// a patch (the first two bytes give the position, the rest are XORed in
// there) to a well-formed file of each version: an input that changes
// nothing must give the known apps.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../pure/appinfo_builder.h"
#include "core/steam_appinfo.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

namespace {

std::string WellFormed(uint32_t version) {
  test::AppInfoFile file(version);
  file.Add(10, test::AppKv(10, "Iron Coast", {{"bin\\x64_dx12\\game.exe", "default", "windows", "64", ""},
                                              {"bin\\x64\\game.exe", "option1", "windows", "64", ""},
                                              {"bin\\win32\\game.exe", "", "windows", "32", "beta"}}));
  file.Add(20, test::AppKv(20, "Halcyon", {{"Halcyon.exe", "", "", "", ""}}));
  return file.Bytes();
}

void CheckRead(const AppInfoLaunches& read, size_t size) {
  Check(read.understood || read.apps.empty());
  Check(!read.complete || read.understood);
  Check(read.apps.size() <= size / 8);
  for (const SteamAppLaunch& app : read.apps) {
    Check(app.installDir.size() <= size);
    for (const std::wstring& exe : app.executables) {
      Check(!exe.empty() && exe.size() <= size && exe.find(L':') == std::wstring::npos);
      Check(exe.front() != L'\\' && (L"\\" + exe + L"\\").find(L"\\..\\") == std::wstring::npos);
      Check(exe.find(L'\0') == std::wstring::npos);
    }
  }
}

bool Patch(std::string& target, const uint8_t* data, size_t size) {
  bool changed = false;
  if (size >= 2) {
    const size_t at = (static_cast<size_t>(data[0]) | (static_cast<size_t>(data[1]) << 8)) % target.size();
    for (size_t i = 2; i < size && at + i - 2 < target.size(); ++i) {
      target[at + i - 2] = static_cast<char>(target[at + i - 2] ^ data[i]);
      changed = changed || data[i] != 0;
    }
  }
  return changed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckRead(ReadAppInfoLaunches(bytes, nullptr), size);
  static const std::string files[3] = {WellFormed(39), WellFormed(40), WellFormed(41)};
  const std::unordered_map<uint32_t, std::wstring> wanted = {{10, L"beta"}};
  for (const std::string& file : files) {
    std::string patched = file;
    const bool changed = Patch(patched, data, size);
    const AppInfoLaunches read = ReadAppInfoLaunches(patched, nullptr);
    CheckRead(read, patched.size());
    CheckRead(ReadAppInfoLaunches(patched, &wanted), patched.size());
    if (!changed) {
      Check(read.complete && read.apps.size() == 2 && read.apps[0].executables.size() == 1);
      Check(read.apps[0].executables[0] == L"bin\\x64_dx12\\game.exe" && read.apps[1].installDir == L"Halcyon");
    }
  }
  return 0;
}
