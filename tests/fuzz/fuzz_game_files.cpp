// The recognisers of game file and folder names, which the walk asks of every
// name on a disk: on any name they answer as comparing the name with every
// entry of the table answers.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/game_files.h"
#include "core/text.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring name = DecodeUtf8Lenient(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::wstring key = LowerKey(name);
  const UpscalerFileName* upscaler = nullptr;
  std::optional<AntiCheatSystem> file, folder;
  for (const UpscalerFileName& entry : UpscalerFileNames()) {
    if (key == entry.name) upscaler = &entry;
  }
  for (const AntiCheatMarker& marker : AntiCheatMarkers()) {
    if (marker.kind == MarkerKind::Folder && key == marker.name) folder = marker.system;
    if ((marker.kind == MarkerKind::File && key == marker.name) ||
        (marker.kind == MarkerKind::Suffix && key.size() > marker.name.size() && key.ends_with(marker.name))) {
      file = marker.system;
    }
  }
  const RecognizedFile found = RecognizeGameFile(name);
  Check(found.upscaler == upscaler);
  Check(found.antiCheat == file);
  Check(RecognizeAntiCheatFolder(name) == folder);
  return 0;
}
