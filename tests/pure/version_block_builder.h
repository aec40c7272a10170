// Version blocks laid out byte by byte, well formed or deliberately not, for
// the tests and the fuzzer of the version block reader (and, wrapped in a PE
// image, for the hostile files of the Windows tests).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zrcc::test {

// One node of the 32-bit layout. `value` is written as given; its recorded
// length is that of `value` in characters (type 1) or bytes (type 0) unless
// `recordedValueLength` says otherwise, and the node's length is what it
// holds unless `recordedLength` says otherwise.
struct VersionNode {
  std::u16string key;
  uint16_t type = 1;
  std::vector<uint8_t> value;
  std::vector<VersionNode> children;
  std::optional<uint16_t> recordedValueLength;
  std::optional<uint16_t> recordedLength;
};

inline std::vector<uint8_t> Utf16Bytes(const std::u16string& text, bool withNul = true) {
  std::vector<uint8_t> out;
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  if (withNul) out.insert(out.end(), {0, 0});
  return out;
}

inline void Put16At(std::vector<uint8_t>& b, size_t at, size_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// Appends `node` at the next 4-byte boundary of `out` (the block's start
// being the first boundary).
inline void AppendVersionNode(std::vector<uint8_t>& out, const VersionNode& node) {
  while (out.size() % 4) out.push_back(0);
  const size_t at = out.size();
  out.resize(at + 6, 0);
  const std::vector<uint8_t> key = Utf16Bytes(node.key);
  out.insert(out.end(), key.begin(), key.end());
  while (out.size() % 4) out.push_back(0);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const VersionNode& child : node.children) AppendVersionNode(out, child);
  const size_t valueLength = node.type == 1 ? node.value.size() / 2 : node.value.size();
  Put16At(out, at, node.recordedLength.value_or(static_cast<uint16_t>(out.size() - at)));
  Put16At(out, at + 2, node.recordedValueLength.value_or(static_cast<uint16_t>(valueLength)));
  Put16At(out, at + 4, node.type);
}

inline std::vector<uint8_t> VersionBytes(const VersionNode& root) {
  std::vector<uint8_t> out;
  AppendVersionNode(out, root);
  return out;
}

inline VersionNode TextNode(const std::u16string& key, const std::u16string& text) {
  return {key, 1, Utf16Bytes(text), {}, {}, {}};
}

// The translation table: language, code page, ...
inline VersionNode TranslationNode(const std::vector<uint16_t>& entries) {
  std::vector<uint8_t> value;
  for (uint16_t e : entries) value.insert(value.end(), {static_cast<uint8_t>(e), static_cast<uint8_t>(e >> 8)});
  return {u"Translation", 0, value, {}, {}, {}};
}

// A block as resource compilers write it: the fixed part, then one string
// table per entry of `tables` (its key, then name / text pairs), then the
// translation table.
inline VersionNode VersionRoot(const std::vector<std::pair<std::u16string, std::vector<VersionNode>>>& tables,
                               const std::vector<uint16_t>& translation) {
  VersionNode strings{u"StringFileInfo", 1, {}, {}, {}, {}};
  for (const auto& [key, values] : tables) strings.children.push_back({key, 1, {}, values, {}, {}});
  VersionNode vars{u"VarFileInfo", 1, {}, {TranslationNode(translation)}, {}, {}};
  std::vector<uint8_t> fixed(52, 0);
  Put16At(fixed, 0, 0x04BD);
  Put16At(fixed, 2, 0xFEEF);
  return {u"VS_VERSION_INFO", 0, fixed, {strings, vars}, {}, {}};
}

// The old 16-bit layout: length, value length, the key in single bytes, the
// value as single-byte text; no type field.
struct NarrowVersionNode {
  std::string key;
  std::string text;
  std::vector<NarrowVersionNode> children;
};

inline void AppendNarrowNode(std::vector<uint8_t>& out, const NarrowVersionNode& node) {
  while (out.size() % 4) out.push_back(0);
  const size_t at = out.size();
  out.resize(at + 4, 0);
  out.insert(out.end(), node.key.begin(), node.key.end());
  out.push_back(0);
  while (out.size() % 4) out.push_back(0);
  out.insert(out.end(), node.text.begin(), node.text.end());
  if (!node.text.empty()) out.push_back(0);
  for (const NarrowVersionNode& child : node.children) AppendNarrowNode(out, child);
  Put16At(out, at, out.size() - at);
  Put16At(out, at + 2, node.text.empty() ? 0 : node.text.size() + 1);
}

// A 16-bit block: a comment of `padding` characters, then a ProductName of
// "ZandRivell" followed by half as many more. With no padding it names the
// mod; with much, its name lies far into a large block, where widening it in
// place overruns a buffer of twice the block's size.
inline std::vector<uint8_t> NarrowVersionBytes(size_t padding) {
  const NarrowVersionNode table{"040904E4",
                                {},
                                {{"Comments", std::string(padding, 'x'), {}},
                                 {"ProductName", "ZandRivell" + std::string(padding / 2, 'x'), {}},
                                 {"FileVersion", "1.0", {}}}};
  const NarrowVersionNode root{"VS_VERSION_INFO",
                               {},
                               {{"StringFileInfo", {}, {table}}, {"VarFileInfo", {}, {{"Translation", "\x09\x04\xE4\x04", {}}}}}};
  std::vector<uint8_t> out;
  AppendNarrowNode(out, root);
  return out;
}

}  // namespace zrcc::test
