#include "core/launcher_json.h"

#include <nlohmann/json.hpp>

#include "core/text.h"

namespace zrcc {

namespace {

using Json = nlohmann::json;

// The document, or a discarded value when the bytes are no JSON; never an
// exception (the library checks UTF-8 inside strings and skips a byte order
// mark).
Json Parse(std::string_view bytes) { return Json::parse(bytes.begin(), bytes.end(), nullptr, false); }

// The text member `key` of `object`, decoded; nothing when it is absent or
// no string, holds a NUL, or is no UTF-8.
std::optional<std::wstring> Text(const Json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_string()) return std::nullopt;
  const std::string& bytes = found->get_ref<const std::string&>();
  std::wstring text;
  if (bytes.find('\0') != std::string::npos || !DecodeUtf8Strict(bytes, text)) return std::nullopt;
  return text;
}

bool IsTrue(const Json& object, const char* key) {
  const auto found = object.find(key);
  return found != object.end() && found->is_boolean() && found->get<bool>();
}

// Whether a game's "platform" (absent, "Windows", "Win32", "windows") is a
// Windows build.
bool IsForWindows(const Json& game) {
  if (!game.contains("platform")) return true;
  const std::optional<std::wstring> platform = Text(game, "platform");
  if (!platform) return false;
  const std::wstring key = LowerKey(TrimBlanks(*platform));
  return key == L"windows" || key == L"win32" || key == L"win64";
}

std::optional<ListedGame> ListedGameOf(const Json& game) {
  if (!game.is_object() || IsTrue(game, "is_dlc") || !IsForWindows(game)) return std::nullopt;
  ListedGame listed;
  std::optional<std::wstring> path = Text(game, "install_path");
  if (!path) path = Text(game, "path");
  if (!path || TrimBlanks(*path).empty()) return std::nullopt;
  listed.installPath = std::move(*path);
  for (const char* key : {"title", "app_name", "appName", "id"}) {
    if (std::optional<std::wstring> title = Text(game, key); title && !title->empty()) {
      listed.title = std::move(*title);
      break;
    }
  }
  if (game.contains("executable")) {
    std::optional<std::wstring> executable = Text(game, "executable");
    if (!executable) return std::nullopt;  // a NUL or bytes that are no text: the entry is damaged
    listed.executable = std::move(*executable);
  }
  return listed;
}

}  // namespace

std::optional<std::vector<ListedGame>> ReadInstalledGames(std::string_view bytes) {
  const Json document = Parse(bytes);
  const Json* games = &document;
  if (document.is_object()) {
    if (const auto installed = document.find("installed"); installed != document.end() && installed->is_array()) {
      games = &*installed;
    }
  } else if (!document.is_array()) {
    return std::nullopt;  // no JSON, or a lone value
  }
  std::vector<ListedGame> listed;
  for (const Json& game : *games) {
    if (std::optional<ListedGame> one = ListedGameOf(game)) listed.push_back(std::move(*one));
  }
  return listed;
}

std::optional<std::wstring> ReadFuelCommand(std::string_view bytes) {
  const Json document = Parse(bytes);
  if (!document.is_object()) return std::nullopt;
  const auto main = document.find("Main");
  if (main == document.end() || !main->is_object()) return std::nullopt;
  std::optional<std::wstring> command = Text(*main, "Command");
  if (!command || TrimBlanks(*command).empty()) return std::nullopt;
  return command;
}

}  // namespace zrcc
