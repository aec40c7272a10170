// Looking up the strings of a version block (the version resource of a DLL
// or EXE) the way the program asks for them, without the system's version
// API. Version blocks come from files anyone may have put in a game folder,
// and the system's lookup walks a block by the lengths written inside it. So
// here every node's length is checked against its parent and the block
// before anything in it is read, and no value reaches past its own node:
// however a block lies, no lookup reads outside it. Only the 32-bit (wide)
// layout that resource compilers write is accepted; the old 16-bit layout
// (which the system would convert into space behind the block) and anything
// that does not fit is no version resource at all.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zrcc {

struct VersionTranslation {
  uint16_t language;
  uint16_t codePage;
};

// A value found under a key: its bytes (cut at the end of its node) and the
// length its node records, in characters for text and in bytes otherwise, as
// the system's lookup reports it.
struct VersionValue {
  std::span<const uint8_t> bytes;
  uint16_t recordedLength = 0;
};

class VersionBlock {
 public:
  // The block at the start of `bytes` (as long as its root node says), or
  // nullopt unless every node in it is well formed: a node holds its header,
  // its key up to the key's NUL and lies wholly inside its parent; its type
  // is 0 (binary) or 1 (text). A node length of 0, or fewer bytes than a
  // header, after the last child ends the children (padding). `bytes` must
  // outlive the result.
  static std::optional<VersionBlock> Parse(std::span<const uint8_t> bytes);

  // The value under a path of keys such as \VarFileInfo\Translation: at each
  // level the first child whose key equals the path's part, compared without
  // regard to the case of A-Z; "\" alone is the root's own value. nullopt when
  // a key is absent.
  std::optional<VersionValue> Query(std::wstring_view path) const;

  // \VarFileInfo\Translation in table order; empty when the table is missing
  // or holds less than one whole entry.
  std::vector<VersionTranslation> Translations() const;

  // \StringFileInfo\<language><code page>\<name> (lower-case hexadecimal),
  // up to its first NUL; nullopt when absent. `recordedEmpty`, when given,
  // tells whether its node records a length of 0.
  std::optional<std::wstring> String(VersionTranslation translation, std::wstring_view name,
                                     bool* recordedEmpty = nullptr) const;

 private:
  explicit VersionBlock(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  std::span<const uint8_t> bytes_;  // the root node, exactly
};

// The two questions the program asks of a file's version block (see
// MatchProductVersions and ReadProductName), answered on the block itself;
// a block that does not parse has no version resource.
bool MatchProductVersionsInBlock(std::span<const uint8_t> block, std::wstring_view expectedProductName,
                                 std::wstring& fileVersion, std::wstring& productVersion);
std::wstring ReadProductNameInBlock(std::span<const uint8_t> block);

}  // namespace zrcc
