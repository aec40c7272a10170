// Names of Steam library games, read from the library's app manifests.
#pragma once

#include <string>
#include <unordered_map>

#include "core/text.h"

namespace zrcc {

// Folder paths as Windows compares them: without regard to letter case
// (folded as the catalogue folds its keys).
struct FolderPathHash {
  size_t operator()(const std::wstring& path) const { return std::hash<std::wstring>{}(LowerKey(path)); }
};
struct FolderPathEqual {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (FoldUnit(a[i]) != FoldUnit(b[i])) return false;
    }
    return true;
  }
};
using SteamNameMap = std::unordered_map<std::wstring, std::wstring, FolderPathHash, FolderPathEqual>;

// Game folder path (steamapps\common\<install folder>, letter case as in the
// manifest) to the game's Steam name. A game folder whose name on disk
// differs from the manifest's install folder only in letter case is the
// same folder to Windows, and finds its name.

// Reads every ".acf" manifest directly inside `steamappsFolder` and records
// in `names` the name of each game whose manifest gives both a name and an
// install folder. Unreadable, oversized (above 1 MiB) or incomplete
// manifests are passed over silently; when two manifests name one install
// folder, the later listed wins. Touches nothing but `names` and the disk,
// so a job reads into a map of its own.
void ReadSteamManifests(const std::wstring& steamappsFolder, SteamNameMap& names);

// The name `names` records for a game folder, or empty. A folder past the
// classic path limit carries the long-form prefix ("\\?\" or "\\?\UNC\")
// while the manifests were recorded under the library's shorter spelling, so
// both spellings are looked up.
std::wstring SteamNameOf(const SteamNameMap& names, const std::wstring& gameFolder);

// Every name the manifests read so far gave (SteamGameNames): it lives for
// the whole process and only grows, as jobs hand the UI thread the names they
// read. UI thread.
const SteamNameMap& KnownSteamNames();
void RememberSteamNames(const SteamNameMap& names);

// The Steam name of a game folder in a library, one that lies in
// <library>\steamapps\common, read afresh from that library's manifests;
// empty for a folder elsewhere or one the manifests do not name.
std::wstring ReadSteamNameOf(const std::wstring& gameFolder);

}  // namespace zrcc
