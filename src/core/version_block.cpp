#include "core/version_block.h"

#include <algorithm>
#include <cstdio>

namespace zrcc {

namespace {

// wLength, wValueLength and wType, then the key.
constexpr size_t kHeaderSize = 6;
// A header and at least the key's NUL.
constexpr size_t kSmallestNode = kHeaderSize + 2;

uint16_t Le16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

// Nodes start on 4-byte boundaries counted from the start of the block.
size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// One node, its parts as offsets into the block.
struct Node {
  size_t end = 0;         // the node's first byte past it
  size_t keyAt = 0;       // its key, without the NUL
  size_t keyEnd = 0;
  size_t valueAt = 0;     // its value, cut at `end`
  size_t valueEnd = 0;
  size_t childrenAt = 0;  // where its first child would start
  uint16_t valueLength = 0;
};

enum class Read { Node, NoMore, Invalid };

// The node at `at` inside a parent that ends at `limit`.
Read ReadNode(std::span<const uint8_t> b, size_t at, size_t limit, Node& node) {
  if (at >= limit || limit - at < kHeaderSize) return Read::NoMore;
  const size_t length = Le16(b, at);
  if (length == 0) return Read::NoMore;
  if (length < kSmallestNode || length > limit - at) return Read::Invalid;
  // The 16-bit layout has its key where the type is: "VS..." is no type.
  const uint16_t type = Le16(b, at + 4);
  if (type > 1) return Read::Invalid;
  node.end = at + length;
  node.keyAt = at + kHeaderSize;
  size_t p = node.keyAt;
  while (p + 2 <= node.end && Le16(b, p) != 0) p += 2;
  if (p + 2 > node.end) return Read::Invalid;  // no NUL inside the node
  node.keyEnd = p;
  node.valueLength = Le16(b, at + 2);
  node.valueAt = Align4(p + 2);
  const size_t valueBytes = size_t{node.valueLength} * (type == 1 ? 2 : 1);
  node.valueEnd = std::min(node.valueAt + valueBytes, node.end);
  node.valueAt = std::min(node.valueAt, node.end);
  node.childrenAt = Align4(node.valueAt + valueBytes);
  return Read::Node;
}

bool KeyEquals(std::span<const uint8_t> b, const Node& node, std::wstring_view key) {
  if ((node.keyEnd - node.keyAt) / 2 != key.size()) return false;
  auto fold = [](uint32_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
  for (size_t i = 0; i < key.size(); ++i) {
    if (fold(Le16(b, node.keyAt + 2 * i)) != fold(static_cast<uint32_t>(key[i]))) return false;
  }
  return true;
}

// The text of a value up to its first NUL; a last odd byte is no character.
std::wstring TextOf(const VersionValue& value) {
  std::wstring text;
  for (size_t i = 0; i + 1 < value.bytes.size(); i += 2) {
    const wchar_t unit = static_cast<wchar_t>(Le16(value.bytes, i));
    if (unit == L'\0') break;
    text += unit;
  }
  return text;
}

}  // namespace

std::optional<VersionBlock> VersionBlock::Parse(std::span<const uint8_t> bytes) {
  Node root;
  if (ReadNode(bytes, 0, bytes.size(), root) != Read::Node) return std::nullopt;
  const std::span<const uint8_t> block = bytes.first(root.end);
  // Every node is checked once, without recursion: the parents still to be
  // walked are kept with the place of their next child.
  struct Open {
    size_t next;
    size_t end;
  };
  std::vector<Open> open{{root.childrenAt, root.end}};
  while (!open.empty()) {
    Open& parent = open.back();
    Node child;
    const Read read = ReadNode(block, parent.next, parent.end, child);
    if (read == Read::Invalid) return std::nullopt;
    if (read == Read::NoMore) {
      open.pop_back();
      continue;
    }
    parent.next = Align4(child.end);
    open.push_back({child.childrenAt, child.end});  // `parent` is not used again
  }
  return VersionBlock(block);
}

std::optional<VersionValue> VersionBlock::Query(std::wstring_view path) const {
  Node node;
  ReadNode(bytes_, 0, bytes_.size(), node);  // checked by Parse
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    const std::wstring_view key = path.substr(start, end - start);
    start = end + 1;
    if (key.empty()) continue;
    Node child;
    bool found = false;
    for (size_t at = node.childrenAt; ReadNode(bytes_, at, node.end, child) == Read::Node; at = Align4(child.end)) {
      if (KeyEquals(bytes_, child, key)) {
        found = true;
        break;
      }
    }
    if (!found) return std::nullopt;
    node = child;
  }
  return VersionValue{bytes_.subspan(node.valueAt, node.valueEnd - node.valueAt), node.valueLength};
}

std::vector<VersionTranslation> VersionBlock::Translations() const {
  std::vector<VersionTranslation> list;
  const std::optional<VersionValue> table = Query(L"\\VarFileInfo\\Translation");
  if (!table) return list;
  // The recorded length counts, but never beyond the node's own bytes.
  const size_t length = std::min<size_t>(table->recordedLength, table->bytes.size());
  for (size_t i = 0; i + 4 <= length; i += 4) {
    list.push_back({Le16(table->bytes, i), Le16(table->bytes, i + 2)});
  }
  return list;
}

std::optional<std::wstring> VersionBlock::String(VersionTranslation translation, std::wstring_view name,
                                                 bool* recordedEmpty) const {
  char table[16];
  std::snprintf(table, sizeof table, "%04x%04x", static_cast<unsigned>(translation.language),
                static_cast<unsigned>(translation.codePage));
  std::wstring path = L"\\StringFileInfo\\";
  for (const char* c = table; *c; ++c) path += static_cast<wchar_t>(*c);
  path += L'\\';
  path += name;
  const std::optional<VersionValue> value = Query(path);
  if (!value) return std::nullopt;
  if (recordedEmpty) *recordedEmpty = value->recordedLength == 0;
  return TextOf(*value);
}

bool MatchProductVersionsInBlock(std::span<const uint8_t> bytes, std::wstring_view expectedProductName,
                                 std::wstring& fileVersion, std::wstring& productVersion) {
  const std::optional<VersionBlock> block = VersionBlock::Parse(bytes);
  if (!block) return false;
  for (const VersionTranslation t : block->Translations()) {
    const std::optional<std::wstring> product = block->String(t, L"ProductName");
    if (!product || *product != expectedProductName) continue;
    if (auto v = block->String(t, L"FileVersion")) fileVersion = std::move(*v);
    if (auto v = block->String(t, L"ProductVersion")) productVersion = std::move(*v);
    return true;
  }
  return false;
}

std::wstring ReadProductNameInBlock(std::span<const uint8_t> bytes) {
  const std::optional<VersionBlock> block = VersionBlock::Parse(bytes);
  if (!block) return {};
  std::vector<VersionTranslation> translations = block->Translations();
  // Files that list no translation are read as U.S. English, code page 1252.
  if (translations.empty()) translations.push_back({0x0409, 0x04E4});
  for (const VersionTranslation t : translations) {
    // Resource compilers store an empty name with its ending NUL (a recorded
    // length of 1): that is no name either, and the next translation counts.
    bool recordedEmpty = false;
    if (auto name = block->String(t, L"ProductName", &recordedEmpty); name && !recordedEmpty && !name->empty()) {
      return *name;
    }
  }
  return {};
}

}  // namespace zrcc
