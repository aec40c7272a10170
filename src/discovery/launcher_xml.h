// The XML files launchers put beside a game: a Store game's
// appxmanifest.xml and MicrosoftGame.config (the Xbox app) and the EA
// app's __Installer\installerdata.xml, read with the system's XML reader
// (platform/xml_reader.h) from bytes read whole and size-capped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zrcc {

// What a Store package's manifest says.
struct AppxManifest {
  std::wstring identityName;   // Package/Identity@Name
  std::wstring displayName;    // Package/Properties/DisplayName; empty when it is an "ms-resource:" reference
  std::wstring applicationId;  // the first Package/Applications/Application@Id
  std::wstring executable;     // its @Executable, relative to the package folder; may be empty
};

// Nothing when the bytes are no well-formed manifest with a Package root.
std::optional<AppxManifest> ReadAppxManifest(std::string_view bytes);

// The executable a game kit's MicrosoftGame.config names
// (Game/ExecutableList/Executable@Name): the one whose Id is
// `applicationId`, else the first. Nothing when the bytes are no
// well-formed such file or name none.
std::optional<std::wstring> ReadGameConfigExecutable(std::string_view bytes, std::wstring_view applicationId);

// What an EA installer's data says about the game.
struct InstallerData {
  std::wstring name;        // the game's title, in US English where it has several; may be empty
  std::wstring launchPath;  // <runtime><launcher><filePath> as written; may be empty
};

// The title (gameTitles/gameTitle, or metadata/localeInfo/title) and the
// launch path of the launcher a player starts: not a trial's, a 64-bit
// one's before others, else the first. Nothing when the bytes are no
// well-formed XML.
std::optional<InstallerData> ReadInstallerData(std::string_view bytes);

}  // namespace zrcc
