// The little of the Steam app manifest format that naming library games
// needs: the quoted value after a quoted key, and which files are manifests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zrcc {

// The value of `key` in a manifest's UTF-8 bytes: the quoted text that
// follows the first quoted text equal to the key. Steam escapes a quote or
// a backslash inside a quoted text with a backslash: \" and \\ stand for
// one quote and one backslash and never end the text; any other backslash
// is kept as it is. The search is case-sensitive. Invalid UTF-8 is decoded
// leniently. Empty when the key, a quote or the input is missing.
std::wstring ExtractQuotedValue(const char* bytes, size_t length, const wchar_t* key);

// True when the name's extension (the part from its last dot) is exactly
// ".acf". A name whose only dot is its first character has no extension.
bool IsManifestFileName(std::wstring_view name);

}  // namespace zrcc
