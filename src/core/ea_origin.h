// What the EA app and the older Origin leave behind about installed games,
// as text: Origin's .mfst files (a URL query string) and the launch path of
// a game's __Installer\installerdata.xml, which may begin with a registry
// value in brackets. Pure text work; the registry, the files and the XML
// reading live in discovery/launcher_ea.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zrcc {

// One game an Origin .mfst names.
struct OriginManifest {
  std::wstring id;           // the content id ("Origin.OFR.50.0001452")
  std::wstring installPath;  // the game folder, as written (URL-decoded)
  // A Steam game Origin only links to (an id ending in "@steam"): no game of
  // Origin's, whatever its path says.
  bool onSteam = false;
};

// The "id" and "dipInstallPath" of an .mfst (a query string, "?" first or
// not, keys in any letter case, the first of repeated keys counts),
// percent-escapes decoded as UTF-8. Nothing when the bytes are no such
// string, name no folder, or decode to a NUL or to text that is no UTF-8.
std::optional<OriginManifest> ReadOriginManifest(std::string_view bytes);

// The executable part of an installerdata.xml launch path:
// "[HKEY_LOCAL_MACHINE\SOFTWARE\Respawn\Titanfall2\Install Dir]Titanfall2.exe"
// names the file after the bracket, relative to the game's install folder
// (the value in brackets is where the installer put the game); a path
// without a bracket is returned as written. Nothing for an unclosed
// bracket. The caller still checks that it stays below the game folder.
std::optional<std::wstring> EaLaunchFile(std::wstring_view filePath);

}  // namespace zrcc
