// The bytes of data.ini: the persistent form of the catalogue.
//
//   EF BB BF, then per game, numbered from 0, CR LF after every line:
//   [Line<n>]
//   Path=<path>
//   ExeFolder=<exeFolder>
//   Name=<name>
//   <empty line>
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

// The three persisted fields of a game.
struct GameListEntry {
  std::wstring path;
  std::wstring exeFolder;
  std::wstring name;
  bool operator==(const GameListEntry&) const = default;
};

// A value as it is written: control characters below U+0020 other than tab
// become blanks, so that no value (a Steam name or product name that spans
// lines, say) can ever start a line of its own and rewrite the list.
std::wstring FileSafeValue(std::wstring_view value);

// The whole file, byte order mark included. No games: just EF BB BF.
std::string FormatGameListFile(const std::vector<GameListEntry>& entries);

// Drops a leading byte order mark and decodes strict UTF-8, or, after the
// mark of UTF-16 in either byte order (an editor's "Unicode" save), UTF-16.
// False (and no text) for zero bytes, a lone mark, an odd number of UTF-16
// bytes, or any invalid UTF-8 sequence.
bool DecodeGameListBytes(std::string_view bytes, std::wstring& text);

// Zero bytes, or only a byte order mark of UTF-8 or UTF-16: no list at all,
// nothing worth keeping.
bool HoldsNoGameListText(std::string_view bytes);

// Whether bytes that are not UTF-8 read as an editor's save in the local
// ANSI code page: no byte order mark, no NUL (UTF-16 without its mark has
// them), and not one well-formed multi-byte UTF-8 sequence, which would
// make them damaged UTF-8 rather than another code page.
bool LooksLikeLocalCodePage(std::string_view bytes);

// Reads the sections of a decoded file in file order. Entries with the same
// path are all returned; the catalogue drops the later ones. A Path or
// ExeFolder value holding a NUL names no folder and is passed over, as an
// empty Path is.
std::vector<GameListEntry> ParseGameListText(std::wstring_view text);

// DecodeGameListBytes followed by ParseGameListText.
std::vector<GameListEntry> ReadGameListEntries(std::string_view bytes);

}  // namespace zrcc
