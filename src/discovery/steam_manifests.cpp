#include "discovery/steam_manifests.h"

#include <windows.h>

#include <vector>

#include "core/steam_manifest_text.h"
#include "core/paths.h"
#include "platform/listing.h"
#include "platform/win_handles.h"

namespace zrcc {

std::unordered_map<std::wstring, std::wstring> SteamGameNames;

namespace {

// Manifests are small; one that fills this whole buffer is passed over
// rather than read in part.
constexpr DWORD kManifestBufferSize = 10240;

void ReadOneManifest(const std::wstring& steamappsFolder, const std::wstring& manifestPath) {
  // Steam keeps manifests open while it updates a game: sharing everything
  // lets the read go on beside it and never keeps Steam from its file.
  UniqueHandle file(CreateFileW(ExtendedLengthPath(manifestPath).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  std::vector<char> buffer(kManifestBufferSize, '\0');
  DWORD got = 0;
  if (!ReadFile(file.get(), buffer.data(), kManifestBufferSize, &got, nullptr) || got == kManifestBufferSize) return;
  // The whole buffer is searched: past the file's end it holds only NULs,
  // which match nothing.
  const std::wstring name = ExtractQuotedValue(buffer.data(), buffer.size(), L"name");
  const std::wstring installFolder = ExtractQuotedValue(buffer.data(), buffer.size(), L"installdir");
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

}  // namespace zrcc
