#include "core/uninstall_rules.h"

#include <string_view>

#include "core/paths.h"
#include "core/text.h"

namespace zrcc {

namespace {

bool IsIdUnit(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_' || c == L'-' || c == L'.';
}

// The id after `option` in the lower-cased command ("--uid=wow" gives
// "wow"), when the option stands as a word of its own; empty when absent.
std::wstring OptionValue(const std::wstring& command, std::wstring_view option) {
  for (size_t at = command.find(option); at != std::wstring::npos; at = command.find(option, at + 1)) {
    const bool startsWord = at == 0 || command[at - 1] == L' ' || command[at - 1] == L'-' || command[at - 1] == L'"';
    if (!startsWord) continue;
    size_t end = at + option.size();
    while (end < command.size() && IsIdUnit(command[end])) ++end;
    if (end > at + option.size()) return command.substr(at + option.size(), end - at - option.size());
  }
  return {};
}

// The program an uninstall command runs: the quoted text at its start, or
// its first word.
std::wstring CommandProgram(const std::wstring& command) {
  std::wstring_view text = TrimBlanks(command);
  if (!text.empty() && text.front() == L'"') {
    const size_t close = text.find(L'"', 1);
    return std::wstring(text.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1));
  }
  return std::wstring(text.substr(0, text.find(L' ')));
}

bool EndsWithWord(std::wstring_view name, std::wstring_view word) {
  name = TrimBlanks(name);
  if (name.size() < word.size()) return false;
  const size_t at = name.size() - word.size();
  return LowerKey(name.substr(at)) == word && (at == 0 || name[at - 1] == L' ' || name[at - 1] == L'-');
}

std::optional<LauncherUninstallGame> BattleNetGame(const UninstallEntry& entry, const std::wstring& command) {
  if (command.find(L"battle.net") == std::wstring::npos) return std::nullopt;
  const std::wstring uid = OptionValue(command, L"--uid=");
  if (uid.empty() || uid == L"battle.net" || LowerKey(TrimBlanks(entry.displayName)) == L"battle.net") {
    return std::nullopt;
  }
  if (EndsWithWord(entry.displayName, L"test") || EndsWithWord(entry.displayName, L"beta")) return std::nullopt;
  return LauncherUninstallGame{UninstallLauncher::BattleNet, uid};
}

std::optional<LauncherUninstallGame> RockstarGame(const std::wstring& command) {
  const std::wstring program = CommandProgram(command);
  const std::wstring file = LastComponent(program);
  if (program.find(L"rockstar games") == std::wstring::npos || (file != L"launcher.exe" && file != L"uninstall.exe")) {
    return std::nullopt;
  }
  const std::wstring title = OptionValue(command, L"uninstall=");
  if (title.empty() || title == L"launcher" || title == L"socialclub" || title == L"rgsc") return std::nullopt;
  return LauncherUninstallGame{UninstallLauncher::Rockstar, title};
}

}  // namespace

std::optional<LauncherUninstallGame> RecogniseLauncherGame(const UninstallEntry& entry) {
  const std::wstring command = LowerKey(entry.uninstallString);
  if (auto game = BattleNetGame(entry, command)) return game;
  return RockstarGame(command);
}

}  // namespace zrcc
