#include "core/game_files.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <tuple>
#include <unordered_set>

#include "core/deployment_record.h"
#include "core/paths.h"
#include "core/text.h"

namespace zrcc {

namespace {

using T = UpscalerTechnology;
using R = UpscalerRole;

constexpr UpscalerFileName kUpscalerFiles[] = {
    {L"nvngx_dlss.dll", T::DlssSuperResolution, R::Main},
    {L"nvngx_dlssg.dll", T::DlssFrameGeneration, R::FrameGeneration},
    {L"nvngx_dlssd.dll", T::DlssRayReconstruction, R::RayReconstruction},
    {L"sl.interposer.dll", T::Streamline, R::Main},
    {L"sl.common.dll", T::Streamline, R::Part},
    {L"sl.dlss.dll", T::Streamline, R::Part},
    {L"sl.dlss_g.dll", T::Streamline, R::Part},
    {L"sl.dlss_d.dll", T::Streamline, R::Part},
    {L"sl.reflex.dll", T::Streamline, R::Part},
    {L"ffx_fsr2_api_x64.dll", T::Fsr2, R::Main},
    {L"ffx_fsr2_api_dx12_x64.dll", T::Fsr2, R::Part},
    {L"ffx_fsr2_api_vk_x64.dll", T::Fsr2, R::Part},
    {L"ffx_fsr3upscaler_x64.dll", T::Fsr30, R::Main},
    {L"ffx_fsr3_x64.dll", T::Fsr30, R::Main},
    {L"ffx_frameinterpolation_x64.dll", T::Fsr30, R::FrameGeneration},
    {L"ffx_backend_dx12_x64.dll", T::Fsr30, R::Part},
    // Upscaling and frame generation in one DLL: nothing tells whether the
    // game uses the second.
    {L"amd_fidelityfx_dx12.dll", T::Fsr31, R::Main},
    {L"amd_fidelityfx_vk.dll", T::Fsr31, R::Main},
    // The loader's version is the SDK's, not the upscaler's.
    {L"amd_fidelityfx_loader_dx12.dll", T::Fsr4, R::Part},
    {L"amd_fidelityfx_upscaler_dx12.dll", T::Fsr4, R::Main},
    {L"amd_fidelityfx_framegeneration_dx12.dll", T::Fsr4, R::FrameGeneration},
    {L"libxess.dll", T::Xess, R::Main},
    {L"libxess_dx11.dll", T::Xess, R::Main},
    {L"libxess_fg.dll", T::Xess, R::FrameGeneration},
    {L"libxell.dll", T::Xess, R::Part},  // Intel's latency layer
    {L"igxess.dll", T::Xess, R::Main},
};

using A = AntiCheatSystem;
using M = MarkerKind;

constexpr AntiCheatMarker kAntiCheatMarkers[] = {
    {L"easyanticheat", A::EasyAntiCheat, M::Folder},
    {L"easyanticheat_eos_setup.exe", A::EasyAntiCheat, M::File},
    {L"easyanticheat_setup.exe", A::EasyAntiCheat, M::File},
    {L"easyanticheat.dll", A::EasyAntiCheat, M::File},
    {L"easyanticheat_x64.dll", A::EasyAntiCheat, M::File},
    {L"easyanticheat_eos.sys", A::EasyAntiCheat, M::File},
    {L"start_protected_game.exe", A::EasyAntiCheat, M::File},
    {L"battleye", A::BattlEye, M::Folder},
    {L"beservice.exe", A::BattlEye, M::File},
    {L"beservice_x64.exe", A::BattlEye, M::File},
    {L"beclient_x64.dll", A::BattlEye, M::File},
    {L"eaanticheat.installer.exe", A::EaAntiCheat, M::File},
    {L"eaanticheat.gameservicelauncher.exe", A::EaAntiCheat, M::File},
    {L"punkbuster", A::PunkBuster, M::Folder},
    {L"pnkbstra.exe", A::PunkBuster, M::File},
    {L"pnkbstrb.exe", A::PunkBuster, M::File},
    {L"pbsvc.exe", A::PunkBuster, M::File},
    {L"gameguard", A::GameGuard, M::Folder},
    {L"gameguard.des", A::GameGuard, M::File},
    {L".xem", A::Xigncode3, M::Suffix},
    {L"anticheatexpert", A::AntiCheatExpert, M::Folder},
    {L"randgrid.sys", A::Ricochet, M::File},
    {L"neacsafe64.sys", A::NetEase, M::File},
};

// Every file name of the table ends in one of these (the suffix marker
// included), so a name ending otherwise is turned away at once.
constexpr std::wstring_view kRecognizedEndings[] = {L".dll", L".exe", L".sys", L".des", L".xem"};
constexpr size_t kEndingLength = 4;

// True when `name`, folded, equals `lower`, which is lower case already.
bool EqualsFolded(std::wstring_view name, std::wstring_view lower) {
  if (name.size() != lower.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (FoldUnit(name[i]) != lower[i]) return false;
  }
  return true;
}

// The table's names by length, so that a lookup compares a name with the
// few of its own length only. Built once, on first use, from the tables.
struct NamesByLength {
  static constexpr size_t kLongest = 48;
  std::array<std::vector<const UpscalerFileName*>, kLongest + 1> upscalers;
  std::array<std::vector<const AntiCheatMarker*>, kLongest + 1> files;
  std::array<std::vector<const AntiCheatMarker*>, kLongest + 1> folders;
  size_t shortestFile = kLongest, longestFile = 0, shortestFolder = kLongest, longestFolder = 0;

  NamesByLength() {
    for (const UpscalerFileName& entry : kUpscalerFiles) {
      upscalers[entry.name.size()].push_back(&entry);
      NoteFileLength(entry.name.size());
    }
    for (const AntiCheatMarker& marker : kAntiCheatMarkers) {
      if (marker.kind == MarkerKind::File) {
        files[marker.name.size()].push_back(&marker);
        NoteFileLength(marker.name.size());
      } else if (marker.kind == MarkerKind::Folder) {
        folders[marker.name.size()].push_back(&marker);
        shortestFolder = std::min(shortestFolder, marker.name.size());
        longestFolder = std::max(longestFolder, marker.name.size());
      }
    }
  }
  void NoteFileLength(size_t length) {
    shortestFile = std::min(shortestFile, length);
    longestFile = std::max(longestFile, length);
  }
};

constexpr bool EveryNameFitsTheIndex() {
  for (const UpscalerFileName& entry : kUpscalerFiles) {
    if (entry.name.size() > NamesByLength::kLongest) return false;
  }
  for (const AntiCheatMarker& marker : kAntiCheatMarkers) {
    if (marker.name.size() > NamesByLength::kLongest) return false;
  }
  return true;
}
static_assert(EveryNameFitsTheIndex());

const NamesByLength& Names() {
  static const NamesByLength names;
  return names;
}

bool HasRecognizedEnding(std::wstring_view name) {
  if (name.size() <= kEndingLength || name[name.size() - kEndingLength] != L'.') return false;
  const std::wstring_view ending = name.substr(name.size() - kEndingLength);
  return std::any_of(std::begin(kRecognizedEndings), std::end(kRecognizedEndings),
                     [&](std::wstring_view known) { return EqualsFolded(ending, known); });
}

std::optional<AntiCheatSystem> SuffixMarkerOf(std::wstring_view name) {
  for (const AntiCheatMarker& marker : kAntiCheatMarkers) {
    if (marker.kind == MarkerKind::Suffix && name.size() > marker.name.size() &&
        EqualsFolded(name.substr(name.size() - marker.name.size()), marker.name)) {
      return marker.system;
    }
  }
  return std::nullopt;
}

// The numbers of a version text, for ordering: "3.7.10", "3, 7, 10, 0" and
// "3.7.10.0" all give 3 7 10 (zeros at the end say nothing).
std::vector<uint64_t> VersionOrderKey(std::wstring_view text) {
  constexpr uint64_t kCap = uint64_t{1} << 40;  // far above any real part, never overflowing
  std::vector<uint64_t> key;
  bool inNumber = false;
  for (const wchar_t c : text) {
    if (c >= L'0' && c <= L'9') {
      if (!inNumber) key.push_back(0);
      inNumber = true;
      key.back() = std::min(kCap, key.back() * 10 + static_cast<uint64_t>(c - L'0'));
    } else {
      inNumber = false;
    }
  }
  while (!key.empty() && key.back() == 0) key.pop_back();
  return key;
}

// What the column shows of a technology when no version can be given.
std::wstring_view GenerationLabel(UpscalerTechnology technology) {
  switch (technology) {
    case T::Fsr2: return L"FSR 2";
    case T::Fsr30: return L"FSR 3.0";
    case T::Fsr31: return L"FSR 3.1";
    case T::Fsr4: return L"FSR 4";
    default: return FamilyName(FamilyOf(technology));
  }
}

// Whether `a` should show before `b` as its family's version: the newer
// generation, then a readable version, then the higher one.
bool ShowsBefore(const UpscalerFile& a, const UpscalerFile& b) {
  const auto rank = [](const UpscalerFile& f) {
    return std::make_tuple(f.technology, !f.version.empty(), VersionOrderKey(f.version));
  };
  return rank(a) > rank(b);
}

std::wstring FamilyEntry(const GameFileFacts& facts, UpscalerFamily family) {
  const UpscalerFile* shown = nullptr;
  const UpscalerFile* newest = nullptr;
  bool frameGeneration = false, rayReconstruction = false;
  for (const UpscalerFile& file : facts.upscalers) {
    if (FamilyOf(file.technology) != family) continue;
    if (!newest || file.technology > newest->technology) newest = &file;
    frameGeneration |= file.role == R::FrameGeneration;
    rayReconstruction |= file.role == R::RayReconstruction;
    if (file.role == R::Main && (!shown || ShowsBefore(file, *shown))) shown = &file;
  }
  if (!newest) return {};
  std::wstring entry;
  if (shown && !shown->version.empty()) {
    entry = std::wstring(FamilyName(family)) + L' ' + shown->version;
  } else {
    entry = GenerationLabel(newest->technology);
  }
  if (frameGeneration) entry += L" +FG";
  if (rayReconstruction) entry += L" +RR";
  return entry;
}

// Files in technology order, then by folder and name, letter case aside.
bool ListsBefore(const UpscalerFile& a, const UpscalerFile& b) {
  return std::make_tuple(a.technology, LowerKey(a.folder), LowerKey(a.file)) <
         std::make_tuple(b.technology, LowerKey(b.folder), LowerKey(b.file));
}

bool SameFile(const UpscalerFile& a, const UpscalerFile& b) {
  return LowerKey(a.folder) == LowerKey(b.folder) && LowerKey(a.file) == LowerKey(b.file);
}

// The file's path relative to the executable folder, folded; nothing when it
// lies outside that folder.
std::optional<std::wstring> FoldedPathBelow(std::wstring_view exeFolder, const UpscalerFile& file) {
  const std::vector<std::wstring_view> base = PathComponents(exeFolder);
  const std::vector<std::wstring_view> folder = PathComponents(file.folder);
  if (folder.size() < base.size()) return std::nullopt;
  for (size_t i = 0; i < base.size(); ++i) {
    if (LowerKey(base[i]) != LowerKey(folder[i])) return std::nullopt;
  }
  std::wstring below;
  for (size_t i = base.size(); i < folder.size(); ++i) below += LowerKey(folder[i]) + L'\\';
  return below + LowerKey(file.file);
}

}  // namespace

std::span<const UpscalerFileName> UpscalerFileNames() { return kUpscalerFiles; }
std::span<const AntiCheatMarker> AntiCheatMarkers() { return kAntiCheatMarkers; }

UpscalerFamily FamilyOf(UpscalerTechnology technology) {
  switch (technology) {
    case T::DlssSuperResolution:
    case T::DlssFrameGeneration:
    case T::DlssRayReconstruction: return UpscalerFamily::Dlss;
    case T::Streamline: return UpscalerFamily::Streamline;
    case T::Fsr2:
    case T::Fsr30:
    case T::Fsr31:
    case T::Fsr4: return UpscalerFamily::Fsr;
    case T::Xess: return UpscalerFamily::Xess;
  }
  return UpscalerFamily::Dlss;
}

std::wstring_view FamilyName(UpscalerFamily family) {
  switch (family) {
    case UpscalerFamily::Dlss: return L"DLSS";
    case UpscalerFamily::Streamline: return L"Streamline";
    case UpscalerFamily::Fsr: return L"FSR";
    case UpscalerFamily::Xess: return L"XeSS";
  }
  return {};
}

std::wstring_view TechnologyName(UpscalerTechnology technology) {
  switch (technology) {
    case T::DlssSuperResolution: return L"DLSS super resolution";
    case T::DlssFrameGeneration: return L"DLSS frame generation";
    case T::DlssRayReconstruction: return L"DLSS ray reconstruction";
    case T::Streamline: return L"Streamline";
    case T::Fsr2: return L"FSR 2";
    case T::Fsr30: return L"FSR 3.0";
    case T::Fsr31: return L"FSR 3.1";
    case T::Fsr4: return L"FSR 4";
    case T::Xess: return L"XeSS";
  }
  return {};
}

std::wstring_view AntiCheatName(AntiCheatSystem system) {
  switch (system) {
    case A::EasyAntiCheat: return L"Easy Anti-Cheat";
    case A::BattlEye: return L"BattlEye";
    case A::EaAntiCheat: return L"EA AntiCheat";
    case A::PunkBuster: return L"PunkBuster";
    case A::GameGuard: return L"nProtect GameGuard";
    case A::Xigncode3: return L"XIGNCODE3";
    case A::AntiCheatExpert: return L"Anti-Cheat Expert (ACE)";
    case A::Ricochet: return L"Call of Duty's Ricochet";
    case A::NetEase: return L"NetEase";
  }
  return {};
}

RecognizedFile RecognizeGameFile(std::wstring_view name) {
  RecognizedFile found;
  if (!HasRecognizedEnding(name)) return found;
  const NamesByLength& names = Names();
  if (name.size() >= names.shortestFile && name.size() <= names.longestFile) {
    for (const UpscalerFileName* entry : names.upscalers[name.size()]) {
      if (EqualsFolded(name, entry->name)) {
        found.upscaler = entry;
        return found;
      }
    }
    for (const AntiCheatMarker* marker : names.files[name.size()]) {
      if (EqualsFolded(name, marker->name)) {
        found.antiCheat = marker->system;
        return found;
      }
    }
  }
  found.antiCheat = SuffixMarkerOf(name);
  return found;
}

std::optional<AntiCheatSystem> RecognizeAntiCheatFolder(std::wstring_view name) {
  const NamesByLength& names = Names();
  if (name.size() < names.shortestFolder || name.size() > names.longestFolder) return std::nullopt;
  for (const AntiCheatMarker* marker : names.folders[name.size()]) {
    if (EqualsFolded(name, marker->name)) return marker->system;
  }
  return std::nullopt;
}

void AddUpscalerFile(GameFileFacts& facts, UpscalerFile file) {
  auto& files = facts.upscalers;
  if (std::any_of(files.begin(), files.end(), [&](const UpscalerFile& f) { return SameFile(f, file); })) return;
  const auto at = std::upper_bound(files.begin(), files.end(), file, ListsBefore);
  files.insert(at, std::move(file));
}

void AddAntiCheat(GameFileFacts& facts, AntiCheatSystem system) {
  auto& systems = facts.antiCheats;
  const auto at = std::lower_bound(systems.begin(), systems.end(), system);
  if (at == systems.end() || *at != system) systems.insert(at, system);
}

void DropFilesNotTheGames(GameFileFacts& facts, std::wstring_view exeFolder, const std::vector<std::wstring>& written) {
  std::unordered_set<std::wstring> writtenKeys;
  for (const std::wstring& path : written) writtenKeys.insert(LowerKey(path));
  std::erase_if(facts.upscalers, [&](const UpscalerFile& file) {
    if (LiesInBackupFolder(file.folder)) return true;
    const std::optional<std::wstring> below = FoldedPathBelow(exeFolder, file);
    return below && writtenKeys.count(*below) > 0;
  });
}

std::wstring UpscalerColumnText(const GameFileFacts& facts) {
  std::wstring text;
  for (const UpscalerFamily family :
       {UpscalerFamily::Dlss, UpscalerFamily::Streamline, UpscalerFamily::Fsr, UpscalerFamily::Xess}) {
    const std::wstring entry = FamilyEntry(facts, family);
    if (entry.empty()) continue;
    if (!text.empty()) text += L", ";
    text += entry;
  }
  return text;
}

std::vector<std::wstring> UpscalerTipLines(const GameFileFacts& facts) {
  std::vector<std::wstring> lines;
  for (const UpscalerFile& file : facts.upscalers) {
    if (lines.size() == kMaxUpscalerTipFiles) {
      const size_t rest = facts.upscalers.size() - kMaxUpscalerTipFiles;
      lines.push_back(L"... and " + std::to_wstring(rest) + (rest == 1 ? L" more upscaler file" : L" more upscaler files"));
      break;
    }
    lines.push_back(std::wstring(TechnologyName(file.technology)) + L": " + JoinPath(file.folder, file.file) +
                    (file.version.empty() ? L", version unknown" : L", version " + file.version));
  }
  return lines;
}

std::wstring AntiCheatTipLine(const GameFileFacts& facts) {
  if (facts.antiCheats.empty()) return {};
  std::wstring names;
  for (const AntiCheatSystem system : facts.antiCheats) {
    if (!names.empty()) names += L", ";
    names += AntiCheatName(system);
  }
  return L"Anti-cheat: " + names +
         L". A mod in a game it protects can get the online account banned or keep the game from starting.";
}

std::wstring NoKnownAntiCheatText() {
  return L"No known anti-cheat marker was found in the game folder. Protection installed with Windows or a "
         L"launcher leaves none there, so the game may still be protected.";
}

}  // namespace zrcc
