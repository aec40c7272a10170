// Reading the strings of a file's version resource: how the mod's DLL is
// recognised and how a game is named after its executable.
#pragma once

#include <optional>
#include <string>

#include "core/file_version.h"
#include "core/pe_version.h"

namespace zrcc {

// True when some translation of the file's version resource has a
// ProductName equal to `expectedProductName` (exact, case-sensitive). For the
// first such translation, its FileVersion and ProductVersion replace the two
// outputs when present; an absent string leaves its output as it was.
bool MatchProductVersions(const std::wstring& filePath, const std::wstring& expectedProductName,
                          std::wstring& fileVersion, std::wstring& productVersion);

// The first non-empty ProductName of the file's translations (or of U.S.
// English / code page 1252 when the file lists none); empty when none.
std::wstring ReadProductName(const std::wstring& filePath);

// What the executable search takes from each executable, from one opening
// of the file: its ProductName (as ReadProductName) and the processor its
// PE header names.
struct ExecutableFacts {
  std::wstring productName;
  PeMachine machine = PeMachine::Unknown;
};
ExecutableFacts ReadExecutableFacts(const std::wstring& filePath);

// The four numbers of the file's fixed version; nullopt when it has no
// version resource or no fixed part.
std::optional<FileVersionNumbers> ReadFixedFileVersion(const std::wstring& filePath);

// The version a game's own file shows and its product name, read in one
// open (see ShownFileVersionInBlock); both empty without a version resource.
ShownFileVersion ReadShownFileVersion(const std::wstring& filePath);

}  // namespace zrcc
