// The small launcher files and values: any bytes read as a .GamingRoot, an
// Origin manifest, an EA launch path, an uninstall entry, a launcher's
// folder, a Heroic or legendary list and a fuel.json, without fault; what
// comes out could name a folder (no NUL, no stray colon, nothing longer than
// the input) and the recognised uninstall entries are launchers' games.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/ea_origin.h"
#include "core/found_games.h"
#include "core/launcher_json.h"
#include "core/text.h"
#include "core/uninstall_rules.h"
#include "core/xbox_gaming_root.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

static void CheckText(const std::wstring& text, size_t size) {
  Check(text.find(L'\0') == std::wstring::npos);
  Check(text.size() <= size);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto folders = ReadGamingRoot(bytes)) {
    Check(folders->size() <= kMaxGamingRootFolders);
    for (const std::wstring& folder : *folders) {
      CheckText(folder, size / 2);
      Check(!folder.empty() && folder.find(L':') == std::wstring::npos && folder.front() != L'\\');
      Check((L"\\" + folder + L"\\").find(L"\\..\\") == std::wstring::npos);
    }
  }
  if (const auto manifest = ReadOriginManifest(bytes)) {
    CheckText(manifest->id, size);
    CheckText(manifest->installPath, size);
    Check(manifest->onSteam == LowerKey(manifest->id).ends_with(L"@steam"));
  }
  if (const auto games = ReadInstalledGames(bytes)) {
    for (const ListedGame& game : *games) {
      Check(!TrimBlanks(game.installPath).empty());
      for (const std::wstring* text : {&game.title, &game.installPath, &game.executable}) CheckText(*text, size);
    }
  }
  if (const auto command = ReadFuelCommand(bytes)) CheckText(*command, size);

  const std::wstring text = DecodeUtf8Lenient(bytes);
  if (const auto folder = LauncherFolderPath(text)) {
    Check(folder->size() >= 3 && folder->find(L'/') == std::wstring::npos);
    Check(folder->find(L'\0') == std::wstring::npos && folder->find(L':', 2) == std::wstring::npos);
  }
  if (const auto file = EaLaunchFile(text)) Check(file->size() <= text.size());
  // Three values of an uninstall entry, split at "|".
  const size_t a = text.find(L'|');
  const size_t b = a == std::wstring::npos ? a : text.find(L'|', a + 1);
  if (b != std::wstring::npos) {
    const UninstallEntry entry{text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1)};
    if (const auto game = RecogniseLauncherGame(entry)) {
      Check(!game->id.empty());
      const std::wstring command = LowerKey(entry.uninstallString);
      Check(command.find(game->launcher == UninstallLauncher::BattleNet ? L"--uid=" : L"uninstall=") !=
            std::wstring::npos);
    }
  }
  return 0;
}
