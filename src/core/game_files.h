// What a game's own files tell about it: the upscalers and frame generation
// it ships (the mod stands in for one of them, so they say whether and
// through which input it can work there) and the anti-cheat systems whose
// markers lie in its folder. One table of names, a collector of what one walk
// of the game folder found, and the texts the rows and the tooltip show.
// Platform-free: the walk itself and the version reading live in deploy/.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// Families in the order the "Upscalers" column lists them.
enum class UpscalerFamily : uint8_t { Dlss, Streamline, Fsr, Xess };

// One technology a game ships DLLs of, older generations of a family first.
enum class UpscalerTechnology : uint8_t {
  DlssSuperResolution,
  DlssFrameGeneration,
  DlssRayReconstruction,
  Streamline,
  Fsr2,
  Fsr30,
  Fsr31,
  Fsr4,
  Xess,
};

// What a file does within its technology.
enum class UpscalerRole : uint8_t {
  Main,               // the DLL whose version names the technology
  FrameGeneration,    // marks "+FG"
  RayReconstruction,  // marks "+RR"
  Part,               // a backend, plugin, loader or latency layer
};

// Anti-cheat systems in the order they are named.
enum class AntiCheatSystem : uint8_t {
  EasyAntiCheat,
  BattlEye,
  EaAntiCheat,
  PunkBuster,
  GameGuard,
  Xigncode3,
  AntiCheatExpert,
  Ricochet,
  NetEase,
};

struct UpscalerFileName {
  std::wstring_view name;  // lower case
  UpscalerTechnology technology;
  UpscalerRole role;
};

enum class MarkerKind : uint8_t { File, Folder, Suffix };

struct AntiCheatMarker {
  std::wstring_view name;  // lower case; for Suffix the ending, dot included
  AntiCheatSystem system;
  MarkerKind kind;
};

// The whole table, as the recognisers below use it.
std::span<const UpscalerFileName> UpscalerFileNames();
std::span<const AntiCheatMarker> AntiCheatMarkers();

UpscalerFamily FamilyOf(UpscalerTechnology technology);
// "DLSS", "Streamline", "FSR", "XeSS": the column's name of a family.
std::wstring_view FamilyName(UpscalerFamily family);
// "DLSS super resolution", "DLSS frame generation", "FSR 3.1", "XeSS"...:
// the name of a technology in the tooltip and in zrcc-inspect.
std::wstring_view TechnologyName(UpscalerTechnology technology);
// "Easy Anti-Cheat", "BattlEye"...
std::wstring_view AntiCheatName(AntiCheatSystem system);

// What a file name is, letter case aside. The walk asks this of every file of
// every game, so most names are turned away on their ending alone, before any
// lookup.
struct RecognizedFile {
  const UpscalerFileName* upscaler = nullptr;
  std::optional<AntiCheatSystem> antiCheat;
  explicit operator bool() const { return upscaler != nullptr || antiCheat.has_value(); }
};
RecognizedFile RecognizeGameFile(std::wstring_view name);
// The anti-cheat system a folder of this name marks, letter case aside.
std::optional<AntiCheatSystem> RecognizeAntiCheatFolder(std::wstring_view name);

// One upscaler DLL found in a game.
struct UpscalerFile {
  UpscalerTechnology technology = UpscalerTechnology::DlssSuperResolution;
  UpscalerRole role = UpscalerRole::Main;
  std::wstring file;     // the name as it lies on the disk
  std::wstring folder;   // relative to the game folder; empty: the game folder itself
  std::wstring version;  // as ShownFileVersion gives it; empty when none could be read
  bool operator==(const UpscalerFile&) const = default;
};

// What one walk of a game folder found. Derived on every refresh, never
// saved. Both lists are kept in a stable order whatever order the disk lists
// its entries in: files by technology, folder and name; systems by the order
// of AntiCheatSystem, each once.
struct GameFileFacts {
  std::vector<UpscalerFile> upscalers;
  std::vector<AntiCheatSystem> antiCheats;
  bool operator==(const GameFileFacts&) const = default;
};

void AddUpscalerFile(GameFileFacts& facts, UpscalerFile file);
void AddAntiCheat(GameFileFacts& facts, AntiCheatSystem system);

// Drops what the program itself put into the game, which says nothing of the
// game: anything inside a backup folder (the game's files a copy kept aside)
// and the files the last copy of the package wrote. `exeFolder` is the game's
// executable folder relative to the game folder, `written` the paths the
// copy's record names, relative to that executable folder.
void DropFilesNotTheGames(GameFileFacts& facts, std::wstring_view exeFolder, const std::vector<std::wstring>& written);

// The "Upscalers" column: one entry per family present, in family order,
// such as "DLSS 3.7.10 +FG +RR, FSR 3.1.2, XeSS 1.3.1"; empty when none was
// found. An entry carries the version of its family's main DLL; where the
// game ships several, the newest generation's highest version shows (an
// Unreal game may carry an old plugin copy beside the one it loads, and the
// newer one is what the game can use). A family without a main DLL, or whose
// main DLLs have no readable version, shows the name of the newest
// generation it has files of alone ("FSR 4", "DLSS +FG"). "+FG" and "+RR" mark the frame-generation and
// ray-reconstruction DLLs of the family wherever they lie.
std::wstring UpscalerColumnText(const GameFileFacts& facts);

// The tooltip's lines of the upscaler files, one per file, such as
// "DLSS frame generation: bin\x64\nvngx_dlssg.dll, version 3.7.10"; at most
// kMaxUpscalerTipFiles of them, then one line counting the rest.
inline constexpr size_t kMaxUpscalerTipFiles = 10;
std::vector<std::wstring> UpscalerTipLines(const GameFileFacts& facts);

// The tooltip's line naming the anti-cheat systems found; empty when none
// was. Finding none proves nothing, so nothing here ever reads as "safe".
std::wstring AntiCheatTipLine(const GameFileFacts& facts);
// For a question that must also speak of a game where none was found.
std::wstring NoKnownAntiCheatText();

}  // namespace zrcc
