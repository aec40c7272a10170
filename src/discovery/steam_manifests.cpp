#include "discovery/steam_manifests.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/owner_thread.h"
#include "core/paths.h"
#include "core/text.h"
#include "core/steam_manifest_text.h"
#include "platform/files.h"
#include "platform/listing.h"

namespace zrcc {

namespace {

// The UI thread's.
SteamNameMap SteamGameNames;

// A game with many DLC lists every depot in its manifest, which takes it
// well past 10 KiB; a file above 1 MiB is no manifest and is passed over
// rather than read in part.
constexpr uint64_t kMaxManifestBytes = 1024 * 1024;

void ReadOneManifest(const std::wstring& steamappsFolder, const std::wstring& manifestPath, SteamNameMap& names) {
  // Steam keeps manifests open while it updates a game; the read shares the
  // file for everything, so it goes on beside Steam and never keeps Steam
  // from its file.
  std::string bytes;
  if (ReadWholeFile(manifestPath, bytes, kMaxManifestBytes) != FileRead::Read) return;
  const std::wstring name = ExtractQuotedValue(bytes.data(), bytes.size(), L"name");
  const std::wstring installFolder = ExtractQuotedValue(bytes.data(), bytes.size(), L"installdir");
  if (name.empty() || installFolder.empty()) return;
  names[JoinPath(steamappsFolder, L"common\\" + installFolder)] = name;
}

}  // namespace

void ReadSteamManifests(const std::wstring& steamappsFolder, SteamNameMap& names) {
  ForEachEntry(steamappsFolder, [&](const WIN32_FIND_DATAW& entry) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsManifestFileName(entry.cFileName)) return;
    ReadOneManifest(steamappsFolder, JoinPath(steamappsFolder, entry.cFileName), names);
  });
}

std::wstring SteamNameOf(const SteamNameMap& names, const std::wstring& gameFolder) {
  auto found = names.find(gameFolder);
  if (found == names.end()) found = names.find(PlainPath(gameFolder));
  return found != names.end() ? found->second : std::wstring();
}

const SteamNameMap& KnownSteamNames() {
  CheckOwnerThread();
  return SteamGameNames;
}

void RememberSteamNames(const SteamNameMap& names) {
  CheckOwnerThread();
  for (const auto& [folder, name] : names) SteamGameNames[folder] = name;
}

std::wstring ReadSteamNameOf(const std::wstring& gameFolder) {
  const size_t game = gameFolder.find_last_of(L"\\/");
  if (game == std::wstring::npos || game == 0) return {};
  const std::wstring common = gameFolder.substr(0, game);
  const size_t cut = common.find_last_of(L"\\/");
  if (cut == std::wstring::npos || LowerKey(common.substr(cut + 1)) != L"common") return {};
  const std::wstring steamapps = common.substr(0, cut);
  if (LowerKey(LastComponent(steamapps)) != L"steamapps") return {};
  SteamNameMap names;
  ReadSteamManifests(steamapps, names);
  return SteamNameOf(names, gameFolder);
}

}  // namespace zrcc
