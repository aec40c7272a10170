#include "discovery/steam_manifests.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/paths.h"
#include "core/text.h"
#include "core/steam_manifest_text.h"
#include "platform/files.h"
#include "platform/listing.h"

namespace zrcc {

SteamNameMap SteamGameNames;

namespace {

// A game with many DLC lists every depot in its manifest, which takes it
// well past 10 KiB; a file above 1 MiB is no manifest and is passed over
// rather than read in part.
constexpr uint64_t kMaxManifestBytes = 1024 * 1024;

void ReadOneManifest(const std::wstring& steamappsFolder, const std::wstring& manifestPath) {
  // Steam keeps manifests open while it updates a game; the read shares the
  // file for everything, so it goes on beside Steam and never keeps Steam
  // from its file.
  std::string bytes;
  if (ReadWholeFile(manifestPath, bytes, kMaxManifestBytes) != FileRead::Read) return;
  const std::wstring name = ExtractQuotedValue(bytes.data(), bytes.size(), L"name");
  const std::wstring installFolder = ExtractQuotedValue(bytes.data(), bytes.size(), L"installdir");
  if (name.empty() || installFolder.empty()) return;
  SteamGameNames[JoinPath(steamappsFolder, L"common\\" + installFolder)] = name;
}

}  // namespace

void ReadSteamManifests(const std::wstring& steamappsFolder) {
  ForEachEntry(steamappsFolder, [&](const WIN32_FIND_DATAW& entry) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsManifestFileName(entry.cFileName)) return;
    ReadOneManifest(steamappsFolder, JoinPath(steamappsFolder, entry.cFileName));
  });
}

std::wstring SteamNameOf(const std::wstring& gameFolder) {
  auto found = SteamGameNames.find(gameFolder);
  if (found == SteamGameNames.end()) found = SteamGameNames.find(PlainPath(gameFolder));
  return found != SteamGameNames.end() ? found->second : std::wstring();
}

std::wstring ReadSteamNameOf(const std::wstring& gameFolder) {
  const size_t game = gameFolder.find_last_of(L"\\/");
  if (game == std::wstring::npos || game == 0) return {};
  const std::wstring common = gameFolder.substr(0, game);
  const size_t cut = common.find_last_of(L"\\/");
  if (cut == std::wstring::npos || LowerKey(common.substr(cut + 1)) != L"common") return {};
  const std::wstring steamapps = common.substr(0, cut);
  if (LowerKey(LastComponent(steamapps)) != L"steamapps") return {};
  ReadSteamManifests(steamapps);
  return SteamNameOf(gameFolder);
}

}  // namespace zrcc
