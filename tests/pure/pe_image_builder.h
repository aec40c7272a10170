// Minimal PE images built in memory: DOS header, PE headers and one .rsrc
// section holding a resource tree, for the tests and the fuzzer of the
// version resource reader.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zrcc::test {

// One entry of a resource directory: a subdirectory when it has children,
// else a data entry with `data`. Named when `name` is not empty.
struct ResourceNode {
  uint32_t id = 0;
  std::u16string name;
  std::vector<ResourceNode> children;
  std::vector<uint8_t> data;
};

struct PeLayout {
  bool pe32Plus = true;
  uint32_t sectionRva = 0x3000;
  uint32_t sectionFileOffset = 0x400;
};

struct BuiltPe {
  std::vector<uint8_t> bytes;
  // File offsets of parts that tests forge.
  size_t optionalHeader = 0;
  size_t resourceDirectory = 0;  // the RVA / size pair in the optional header
  size_t sectionHeader = 0;
  size_t section = 0;
  std::vector<size_t> directories;      // in the order written, root first
  std::vector<size_t> directoryEntries;  // in the order written
  std::vector<size_t> dataEntries;
  std::vector<size_t> dataBytes;         // where each data entry's bytes are
};

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Bytes shaped like the start of a version block: its own length, then the
// root key, then `filler` up to `size` bytes in all.
inline std::vector<uint8_t> VersionBlob(size_t size, uint8_t filler = 0xAB) {
  std::vector<uint8_t> b(size, filler);
  if (size >= 2) Put16(b, 0, static_cast<uint32_t>(size <= 0xFFFF ? size : 0xFFFF));
  const std::u16string key = u"VS_VERSION_INFO";
  for (size_t i = 0; i < key.size() && 6 + 2 * i + 1 < size; ++i) Put16(b, 6 + 2 * i, key[i]);
  return b;
}

// Lays out the resource section; offsets inside it are section-relative.
class ResourceSectionWriter {
 public:
  explicit ResourceSectionWriter(uint32_t sectionRva) : rva_(sectionRva) {}

  uint32_t Directory(const std::vector<ResourceNode>& nodes) {
    const size_t at = Grow(16 + 8 * nodes.size());
    directories.push_back(at);
    uint32_t named = 0;
    for (const ResourceNode& n : nodes) named += n.name.empty() ? 0 : 1;
    Put16(out, at + 12, named);
    Put16(out, at + 14, static_cast<uint32_t>(nodes.size()) - named);
    for (size_t i = 0; i < nodes.size(); ++i) {
      const size_t entry = at + 16 + 8 * i;
      directoryEntries.push_back(entry);
      const ResourceNode& n = nodes[i];
      Put32(out, entry, n.name.empty() ? n.id : (0x80000000u | Name(n.name)));
      const uint32_t target = n.children.empty() ? DataEntry(n.data) : (0x80000000u | Directory(n.children));
      Put32(out, entry + 4, target);
    }
    return static_cast<uint32_t>(at);
  }

  std::vector<uint8_t> out;
  std::vector<size_t> directories, directoryEntries, dataEntries, dataBytes;

 private:
  size_t Grow(size_t n) {
    while (out.size() % 4 != 0) out.push_back(0);
    const size_t at = out.size();
    out.resize(at + n, 0);
    return at;
  }
  uint32_t Name(const std::u16string& name) {
    const size_t at = Grow(2 + 2 * name.size());
    Put16(out, at, static_cast<uint32_t>(name.size()));
    for (size_t i = 0; i < name.size(); ++i) Put16(out, at + 2 + 2 * i, name[i]);
    return static_cast<uint32_t>(at);
  }
  uint32_t DataEntry(const std::vector<uint8_t>& data) {
    const size_t at = Grow(16);
    dataEntries.push_back(at);
    const size_t bytesAt = Grow(data.size());
    dataBytes.push_back(bytesAt);
    std::copy(data.begin(), data.end(), out.begin() + static_cast<std::ptrdiff_t>(bytesAt));
    Put32(out, at, rva_ + static_cast<uint32_t>(bytesAt));
    Put32(out, at + 4, static_cast<uint32_t>(data.size()));
    return static_cast<uint32_t>(at);
  }

  uint32_t rva_;
};

inline BuiltPe BuildPe(const std::vector<ResourceNode>& types, const PeLayout& layout = {}) {
  ResourceSectionWriter rsrc(layout.sectionRva);
  rsrc.Directory(types);
  const uint32_t rsrcSize = static_cast<uint32_t>(rsrc.out.size());
  const uint32_t rawSize = (rsrcSize + 0x1FF) & ~0x1FFu;

  BuiltPe pe;
  std::vector<uint8_t>& b = pe.bytes;
  b.assign(layout.sectionFileOffset + rawSize, 0);
  b[0] = 'M';
  b[1] = 'Z';
  const size_t peAt = 0x40;
  Put32(b, 0x3C, peAt);
  b[peAt] = 'P';
  b[peAt + 1] = 'E';
  const uint32_t optionalSize = layout.pe32Plus ? 240 : 224;
  Put16(b, peAt + 4, layout.pe32Plus ? 0x8664 : 0x14C);
  Put16(b, peAt + 6, 1);
  Put16(b, peAt + 20, optionalSize);
  Put16(b, peAt + 22, 0x2022);
  pe.optionalHeader = peAt + 24;
  Put16(b, pe.optionalHeader, layout.pe32Plus ? 0x20B : 0x10B);
  const size_t directoriesAt = pe.optionalHeader + (layout.pe32Plus ? 112 : 96);
  Put32(b, directoriesAt - 4, 16);
  pe.resourceDirectory = directoriesAt + 2 * 8;
  Put32(b, pe.resourceDirectory, layout.sectionRva);
  Put32(b, pe.resourceDirectory + 4, rsrcSize);

  pe.sectionHeader = pe.optionalHeader + optionalSize;
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  std::copy(name, name + 8, b.begin() + static_cast<std::ptrdiff_t>(pe.sectionHeader));
  Put32(b, pe.sectionHeader + 8, rsrcSize);
  Put32(b, pe.sectionHeader + 12, layout.sectionRva);
  Put32(b, pe.sectionHeader + 16, rawSize);
  Put32(b, pe.sectionHeader + 20, layout.sectionFileOffset);
  Put32(b, pe.sectionHeader + 36, 0x40000040);

  pe.section = layout.sectionFileOffset;
  std::copy(rsrc.out.begin(), rsrc.out.end(), b.begin() + static_cast<std::ptrdiff_t>(pe.section));
  for (size_t at : rsrc.directories) pe.directories.push_back(pe.section + at);
  for (size_t at : rsrc.directoryEntries) pe.directoryEntries.push_back(pe.section + at);
  for (size_t at : rsrc.dataEntries) pe.dataEntries.push_back(pe.section + at);
  for (size_t at : rsrc.dataBytes) pe.dataBytes.push_back(pe.section + at);
  return pe;
}

// An image whose only resource is a version block: type 16, ID 1, language
// 0x409.
inline BuiltPe BuildVersionPe(const std::vector<uint8_t>& blob, const PeLayout& layout = {}) {
  ResourceNode language{0x409, {}, {}, blob};
  ResourceNode name{1, {}, {language}, {}};
  return BuildPe({ResourceNode{16, {}, {name}, {}}}, layout);
}

}  // namespace zrcc::test
