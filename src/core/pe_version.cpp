#include "core/pe_version.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zrcc {

namespace {

constexpr uint32_t kVersionType = 16;   // RT_VERSION
constexpr uint32_t kVersionInfoId = 1;  // the ID the version API itself looks for
constexpr uint32_t kHighBit = 0x80000000u;
constexpr uint16_t kMaxSections = 4096;
// Real directories list a few dozen types; the bound keeps a forged count
// from making us read megabytes of entries.
constexpr uint32_t kMaxDirectoryEntries = 4096;
constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kSectionHeaderSize = 40;
// wLength, wValueLength and wType of the block's root node.
constexpr uint32_t kVersionNodeHeaderSize = 6;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// The file through its reader, with every read checked against its size.
class File {
 public:
  File(const ReadAt& read, uint64_t size) : read_(read), size_(size) {}
  bool Read(uint64_t offset, void* out, size_t length) const {
    if (offset > size_ || length > size_ - offset) return false;
    return length == 0 || read_(offset, out, length);
  }
  template <size_t N>
  bool Read(uint64_t offset, std::array<uint8_t, N>& out) const {
    return Read(offset, out.data(), N);
  }

 private:
  const ReadAt& read_;
  uint64_t size_;
};

struct Section {
  uint32_t virtualAddress;
  uint32_t mappedSize;  // bytes of the section that come from the file
  uint32_t rawOffset;
};

// Where a range of the loaded image lies in the file: only ranges wholly
// inside one section's file data are accepted.
std::optional<uint64_t> FileOffsetOf(const std::vector<Section>& sections, uint32_t rva, uint32_t length) {
  for (const Section& s : sections) {
    if (rva < s.virtualAddress) continue;
    const uint64_t within = static_cast<uint64_t>(rva) - s.virtualAddress;
    if (within >= s.mappedSize || length > s.mappedSize - within) continue;
    return static_cast<uint64_t>(s.rawOffset) + within;
  }
  return std::nullopt;
}

// How much of the section data starting at `rva` comes from the file.
uint32_t MappedBytesFrom(const std::vector<Section>& sections, uint32_t rva) {
  for (const Section& s : sections) {
    if (rva < s.virtualAddress) continue;
    const uint64_t within = static_cast<uint64_t>(rva) - s.virtualAddress;
    if (within < s.mappedSize) return static_cast<uint32_t>(s.mappedSize - within);
  }
  return 0;
}

struct Image {
  std::vector<Section> sections;
  uint32_t resourceRva = 0;
  uint32_t resourceSize = 0;
};

std::optional<Image> ReadHeaders(const File& file) {
  std::array<uint8_t, 64> dos{};
  if (!file.Read(0, dos) || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
  const uint64_t peOffset = Le32(&dos[0x3C]);

  // "PE\0\0" and the COFF file header.
  std::array<uint8_t, 24> pe{};
  if (!file.Read(peOffset, pe) || std::memcmp(pe.data(), "PE\0\0", 4) != 0) return std::nullopt;
  const uint16_t sectionCount = Le16(&pe[6]);
  const uint16_t optionalHeaderSize = Le16(&pe[20]);
  if (sectionCount == 0 || sectionCount > kMaxSections) return std::nullopt;

  const uint64_t optionalOffset = peOffset + pe.size();
  std::array<uint8_t, 2> magic{};
  if (!file.Read(optionalOffset, magic)) return std::nullopt;
  uint32_t directoriesAt = 0;  // within the optional header
  switch (Le16(magic.data())) {
    case 0x10B: directoriesAt = 96; break;   // PE32
    case 0x20B: directoriesAt = 112; break;  // PE32+
    default: return std::nullopt;
  }
  constexpr uint32_t kResourceDirectory = 2;
  const uint32_t resourceEntryAt = directoriesAt + kResourceDirectory * 8;
  if (optionalHeaderSize < resourceEntryAt + 8) return std::nullopt;
  std::array<uint8_t, 4> countBytes{};
  std::array<uint8_t, 8> resourceEntry{};
  if (!file.Read(optionalOffset + directoriesAt - 4, countBytes) ||
      !file.Read(optionalOffset + resourceEntryAt, resourceEntry))
    return std::nullopt;
  if (Le32(countBytes.data()) <= kResourceDirectory) return std::nullopt;

  Image image;
  image.resourceRva = Le32(&resourceEntry[0]);
  image.resourceSize = Le32(&resourceEntry[4]);
  if (image.resourceRva == 0 || image.resourceSize < kDirectoryHeaderSize) return std::nullopt;

  std::vector<uint8_t> table(static_cast<size_t>(sectionCount) * kSectionHeaderSize);
  if (!file.Read(optionalOffset + optionalHeaderSize, table.data(), table.size())) return std::nullopt;
  image.sections.reserve(sectionCount);
  for (size_t i = 0; i < sectionCount; ++i) {
    const uint8_t* h = table.data() + i * kSectionHeaderSize;
    const uint32_t virtualSize = Le32(h + 8);
    const uint32_t rawSize = Le32(h + 16);
    // A virtual size of 0 means the raw size; bytes past the virtual size
    // are not part of the loaded section.
    const uint32_t mapped = virtualSize == 0 ? rawSize : std::min(virtualSize, rawSize);
    image.sections.push_back({Le32(h + 12), mapped, Le32(h + 20)});
  }
  return image;
}

// The resource directory tree: offsets inside it are relative to its start
// and must stay within `size` bytes of it.
class ResourceTree {
 public:
  ResourceTree(const File& file, uint64_t start, uint32_t size) : file_(file), start_(start), size_(size) {}

  struct Entry {
    uint32_t name;    // an ID, or kHighBit | offset of a name string
    uint32_t target;  // kHighBit | offset of a subdirectory, or offset of a data entry
  };

  std::optional<std::vector<Entry>> Directory(uint32_t offset) const {
    std::array<uint8_t, kDirectoryHeaderSize> header{};
    if (!Within(offset, kDirectoryHeaderSize) || !file_.Read(start_ + offset, header)) return std::nullopt;
    const uint32_t count = static_cast<uint32_t>(Le16(&header[12])) + Le16(&header[14]);
    if (count == 0 || count > kMaxDirectoryEntries) return std::nullopt;
    const uint32_t entriesAt = offset + kDirectoryHeaderSize;
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * kDirectoryEntrySize);
    if (!Within(entriesAt, static_cast<uint32_t>(bytes.size())) ||
        !file_.Read(start_ + entriesAt, bytes.data(), bytes.size()))
      return std::nullopt;
    std::vector<Entry> entries(count);
    for (size_t i = 0; i < count; ++i) {
      entries[i] = {Le32(&bytes[i * kDirectoryEntrySize]), Le32(&bytes[i * kDirectoryEntrySize + 4])};
    }
    return entries;
  }

  // The RVA and size that a data entry gives.
  std::optional<std::pair<uint32_t, uint32_t>> DataEntry(uint32_t offset) const {
    std::array<uint8_t, kDataEntrySize> entry{};
    if (!Within(offset, kDataEntrySize) || !file_.Read(start_ + offset, entry)) return std::nullopt;
    return std::pair{Le32(&entry[0]), Le32(&entry[4])};
  }

 private:
  bool Within(uint32_t offset, uint32_t length) const { return offset <= size_ && length <= size_ - offset; }

  const File& file_;
  uint64_t start_;
  uint32_t size_;
};

bool IsId(uint32_t name, uint32_t id) { return (name & kHighBit) == 0 && name == id; }
bool IsDirectory(uint32_t target) { return (target & kHighBit) != 0; }
uint32_t OffsetOf(uint32_t target) { return target & ~kHighBit; }

}  // namespace

std::optional<std::vector<uint8_t>> ExtractVersionResource(const ReadAt& read, uint64_t fileSize) {
  const File file(read, fileSize);
  const auto image = ReadHeaders(file);
  if (!image) return std::nullopt;

  // The directory must lie in one section's file data; a declared size
  // running past it is cut to what the file holds.
  const uint32_t treeSize = std::min(image->resourceSize, MappedBytesFrom(image->sections, image->resourceRva));
  const auto treeStart = FileOffsetOf(image->sections, image->resourceRva, treeSize);
  if (treeSize < kDirectoryHeaderSize || !treeStart) return std::nullopt;
  const ResourceTree tree(file, *treeStart, treeSize);

  // Three fixed levels (type, name, language): a directory that points back
  // at itself or an ancestor ends at the language level, where only a data
  // entry is accepted.
  const auto types = tree.Directory(0);
  if (!types) return std::nullopt;
  const auto type = std::find_if(types->begin(), types->end(),
                                 [](const ResourceTree::Entry& e) { return IsId(e.name, kVersionType); });
  if (type == types->end() || !IsDirectory(type->target)) return std::nullopt;

  const auto names = tree.Directory(OffsetOf(type->target));
  if (!names) return std::nullopt;
  auto name = std::find_if(names->begin(), names->end(),
                           [](const ResourceTree::Entry& e) { return IsId(e.name, kVersionInfoId); });
  if (name == names->end()) name = names->begin();
  if (!IsDirectory(name->target)) return std::nullopt;

  const auto languages = tree.Directory(OffsetOf(name->target));
  if (!languages) return std::nullopt;
  const ResourceTree::Entry language = languages->front();
  if (IsDirectory(language.target)) return std::nullopt;

  const auto data = tree.DataEntry(language.target);
  if (!data) return std::nullopt;
  const auto [dataRva, dataSize] = *data;
  if (dataSize < kVersionNodeHeaderSize || dataSize > kMaxVersionResourceSize) return std::nullopt;
  const auto dataOffset = FileOffsetOf(image->sections, dataRva, dataSize);
  if (!dataOffset) return std::nullopt;
  std::vector<uint8_t> block(dataSize);
  if (!file.Read(*dataOffset, block.data(), block.size())) return std::nullopt;

  // The version API walks the block by the lengths it holds; a root that
  // claims more than the resource would send it past the copy.
  const uint16_t rootLength = Le16(block.data());
  if (rootLength < kVersionNodeHeaderSize || rootLength > dataSize) return std::nullopt;
  return block;
}

namespace {

ReadAt InMemory(std::span<const uint8_t> image) {
  return [image](uint64_t offset, void* out, size_t length) {
    if (offset > image.size() || length > image.size() - offset) return false;
    std::memcpy(out, image.data() + offset, length);
    return true;
  };
}

}  // namespace

std::optional<std::vector<uint8_t>> ExtractVersionResource(std::span<const uint8_t> image) {
  return ExtractVersionResource(InMemory(image), image.size());
}

PeMachine ReadPeMachine(const ReadAt& read, uint64_t fileSize) {
  const File file(read, fileSize);
  std::array<uint8_t, 64> dos{};
  if (!file.Read(0, dos) || dos[0] != 'M' || dos[1] != 'Z') return PeMachine::Unknown;
  std::array<uint8_t, 6> pe{};
  if (!file.Read(Le32(&dos[0x3C]), pe) || std::memcmp(pe.data(), "PE\0\0", 4) != 0) return PeMachine::Unknown;
  switch (Le16(&pe[4])) {
    case 0x014C: return PeMachine::X86;    // IMAGE_FILE_MACHINE_I386
    case 0x8664: return PeMachine::X64;    // IMAGE_FILE_MACHINE_AMD64
    case 0xAA64: return PeMachine::Arm64;  // IMAGE_FILE_MACHINE_ARM64
    default: return PeMachine::Other;
  }
}

PeMachine ReadPeMachine(std::span<const uint8_t> image) { return ReadPeMachine(InMemory(image), image.size()); }

PeMachine ProgramMachine(std::span<const PeMachine> machines) {
  PeMachine program = PeMachine::Unknown;
  for (const PeMachine machine : machines) {
    if (machine == PeMachine::X64 || machine == PeMachine::Arm64) return machine;
    if (machine == PeMachine::X86) program = PeMachine::X86;
  }
  return program;
}

}  // namespace zrcc
