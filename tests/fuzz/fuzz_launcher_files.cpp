// Launcher files: any bytes are read without fault as a list of Steam
// libraries and as an Epic manifest, and what comes out could name a folder:
// no NUL, nothing longer than the input. The executable a launcher names,
// read from the same bytes, never leaves the game folder.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/found_games.h"
#include "core/launcher_files.h"
#include "core/text.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

static void CheckPath(const std::wstring& path, size_t size) {
  Check(path.find(L'\0') == std::wstring::npos);
  Check(path.size() <= size);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto folders = ReadLibraryFolders(bytes)) {
    for (const std::wstring& folder : *folders) {
      Check(!folder.empty());
      CheckPath(folder, size);
    }
  }
  if (const auto manifest = ReadEpicManifest(bytes)) {
    Check(!TrimBlanks(manifest->installLocation).empty());
    for (const std::wstring* text : {&manifest->displayName, &manifest->installLocation, &manifest->launchExecutable}) {
      CheckPath(*text, size);
    }
  }
  const std::wstring text = DecodeUtf8Lenient(bytes);
  const size_t cut = text.find(L'|');
  if (cut != std::wstring::npos) {
    if (const auto below = LauncherExecutableBelow(std::wstring_view(text).substr(0, cut),
                                                   std::wstring_view(text).substr(cut + 1))) {
      Check(!below->empty() && below->front() != L'\\' && below->back() != L'\\');
      Check((L"\\" + *below + L"\\").find(L"\\..\\") == std::wstring::npos);
      Check(below->find(L':') == std::wstring::npos);
    }
  }
  return 0;
}
