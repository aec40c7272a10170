// Finding the version resource in PE images built in memory, and refusing
// forged or cut-off images without reading out of bounds.
#include "core/pe_version.h"

#include <gtest/gtest.h>

#include <cstring>

#include "pe_image_builder.h"

namespace zrcc {
namespace {

using test::BuildPe;
using test::BuildVersionPe;
using test::Put16;
using test::Put32;
using test::ResourceNode;
using test::VersionBlob;

std::optional<std::vector<uint8_t>> Extract(const std::vector<uint8_t>& bytes) {
  return ExtractVersionResource(std::span<const uint8_t>(bytes));
}

uint32_t Le32At(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16)) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

ResourceNode Leaf(uint32_t language, std::vector<uint8_t> data) { return {language, {}, {}, std::move(data)}; }
ResourceNode Dir(uint32_t id, std::vector<ResourceNode> children, std::u16string name = {}) {
  return {id, std::move(name), std::move(children), {}};
}

TEST(PeVersion, FindsTheBlockInPe32AndPe32Plus) {
  const auto blob = VersionBlob(300);
  for (const bool plus : {true, false}) {
    const auto pe = BuildVersionPe(blob, {plus, 0x5000, 0x600});
    EXPECT_EQ(Extract(pe.bytes), blob) << plus;
  }
}

// The machine field follows the image the builder made; anything short of
// a PE header gives Unknown, never a read past the bytes.
TEST(PeVersion, TheMachineTypeOfTheHeader) {
  for (const bool plus : {true, false}) {
    const auto pe = BuildVersionPe(VersionBlob(64), {plus, 0x5000, 0x600});
    EXPECT_EQ(ReadPeMachine(std::span<const uint8_t>(pe.bytes)), plus ? PeMachine::X64 : PeMachine::X86);
    for (size_t length = 0; length < 0x40 + 24; ++length) {
      std::vector<uint8_t> cut(pe.bytes.begin(), pe.bytes.begin() + static_cast<std::ptrdiff_t>(length));
      const PeMachine machine = ReadPeMachine(std::span<const uint8_t>(cut));
      EXPECT_TRUE(machine == PeMachine::Unknown || length >= Le32At(pe.bytes, 0x3C) + 6) << length;
    }
    std::vector<uint8_t> arm = pe.bytes;
    Put16(arm, Le32At(pe.bytes, 0x3C) + 4, 0xAA64);
    EXPECT_EQ(ReadPeMachine(std::span<const uint8_t>(arm)), PeMachine::Arm64);
    std::vector<uint8_t> pointsOut = pe.bytes;
    Put32(pointsOut, 0x3C, 0xFFFFFFF0u);
    EXPECT_EQ(ReadPeMachine(std::span<const uint8_t>(pointsOut)), PeMachine::Unknown);
  }
}

TEST(PeVersion, ChoosesTheVersionTypeThenIdOneOrTheFirstNameThenTheFirstLanguage) {
  const auto a = VersionBlob(40, 0xA1), b = VersionBlob(40, 0xB2), x = VersionBlob(40, 0xC3);
  const std::vector<ResourceNode> types = {
      Dir(0, {Dir(1, {Leaf(0x409, x)})}, u"TEXT"),
      Dir(3, {Dir(1, {Leaf(0x409, x)})}),
      Dir(16, {Dir(0, {Leaf(0x409, x)}, u"ABC"), Dir(1, {Leaf(0x407, a), Leaf(0x409, b)})}),
      Dir(24, {Dir(1, {Leaf(0x409, x)})}),
  };
  EXPECT_EQ(Extract(BuildPe(types).bytes), a);

  // Without ID 1 the first entry counts, named or not.
  EXPECT_EQ(Extract(BuildPe({Dir(16, {Dir(0, {Leaf(0x409, x)}, u"ABC"), Dir(2, {Leaf(0x409, b)})})}).bytes), x);
  EXPECT_EQ(Extract(BuildPe({Dir(16, {Dir(7, {Leaf(0x409, b)}), Dir(9, {Leaf(0x409, x)})})}).bytes), b);
}

TEST(PeVersion, FilesThatAreNotPeOrHaveNoVersionGiveNothing) {
  EXPECT_EQ(Extract({}), std::nullopt);
  EXPECT_EQ(Extract(std::vector<uint8_t>(4096, 0)), std::nullopt);
  EXPECT_EQ(Extract(BuildPe({Dir(3, {Dir(1, {Leaf(0x409, VersionBlob(40))})})}).bytes), std::nullopt);

  const auto good = BuildVersionPe(VersionBlob(64));
  auto forged = good.bytes;
  forged[0] = 'Z';  // no MZ
  EXPECT_EQ(Extract(forged), std::nullopt);
  forged = good.bytes;
  forged[0x41] = 'X';  // no "PE\0\0"
  EXPECT_EQ(Extract(forged), std::nullopt);
  forged = good.bytes;
  Put16(forged, good.optionalHeader, 0x107);  // unknown optional header
  EXPECT_EQ(Extract(forged), std::nullopt);
  forged = good.bytes;
  Put32(forged, good.resourceDirectory, 0);  // no resource directory
  Put32(forged, good.resourceDirectory + 4, 0);
  EXPECT_EQ(Extract(forged), std::nullopt);
  forged = good.bytes;
  Put32(forged, good.optionalHeader + 108, 2);  // directory table too short to hold it
  EXPECT_EQ(Extract(forged), std::nullopt);
}

TEST(PeVersion, EveryCutOffImageGivesNothingUntilTheBlockIsWhole) {
  const auto blob = VersionBlob(120);
  const auto pe = BuildVersionPe(blob);
  const size_t blockEnd = pe.dataBytes.at(0) + blob.size();
  for (size_t length = 0; length <= pe.bytes.size(); ++length) {
    const std::vector<uint8_t> prefix(pe.bytes.begin(), pe.bytes.begin() + static_cast<std::ptrdiff_t>(length));
    if (length < blockEnd) {
      EXPECT_EQ(Extract(prefix), std::nullopt) << length;
    } else {
      EXPECT_EQ(Extract(prefix), blob) << length;
    }
  }
}

TEST(PeVersion, ForgedOffsetsSizesAndCountsGiveNothing) {
  const auto pe = BuildVersionPe(VersionBlob(200));
  const size_t typeEntry = pe.directoryEntries.at(0), nameEntry = pe.directoryEntries.at(1),
               languageEntry = pe.directoryEntries.at(2), dataEntry = pe.dataEntries.at(0);
  const auto forged = [&](auto change) {
    auto bytes = pe.bytes;
    change(bytes);
    return Extract(bytes);
  };
  const auto put32 = [&](size_t at, uint32_t v) { return forged([&](std::vector<uint8_t>& b) { Put32(b, at, v); }); };
  const auto put16 = [&](size_t at, uint32_t v) { return forged([&](std::vector<uint8_t>& b) { Put16(b, at, v); }); };

  EXPECT_EQ(put32(0x3C, 0xFFFFFFF0u), std::nullopt);                 // PE header far past the end
  EXPECT_EQ(put16(0x40 + 6, 0), std::nullopt);                        // no sections
  EXPECT_EQ(put16(0x40 + 6, 0xFFFF), std::nullopt);                   // more sections than the file holds
  EXPECT_EQ(put32(pe.sectionHeader + 20, 0xFFFFFE00u), std::nullopt);  // section data past the end
  EXPECT_EQ(put32(pe.resourceDirectory, 0x100), std::nullopt);        // directory in no section
  EXPECT_EQ(put16(pe.directories.at(0) + 12, 0xFFFF), std::nullopt);  // entry counts beyond the bound
  EXPECT_EQ(put16(pe.directories.at(0) + 14, 0), std::nullopt);       // empty type directory
  EXPECT_EQ(put32(typeEntry + 4, 0x80000000u | 0x7FFFFFF0u), std::nullopt);  // subdirectory far outside
  EXPECT_EQ(put32(typeEntry + 4, static_cast<uint32_t>(dataEntry - pe.section)), std::nullopt);  // data where a directory must be
  EXPECT_EQ(put32(languageEntry + 4, 0x80000000u), std::nullopt);    // directory where the data must be
  EXPECT_EQ(put32(nameEntry + 4, 0x80000000u), std::nullopt);        // loops back to the root
  EXPECT_EQ(put32(languageEntry + 4, 0x7FFFFFF0u), std::nullopt);    // data entry outside the directory
  EXPECT_EQ(put32(dataEntry, 0x100), std::nullopt);                  // data RVA in no section
  EXPECT_EQ(put32(dataEntry, test::Get32(pe.bytes, dataEntry) + 0x1F0), std::nullopt);  // data runs past its section
  EXPECT_EQ(put32(dataEntry + 4, 0xFFFFFFFFu), std::nullopt);        // absurd size
  EXPECT_EQ(put32(dataEntry + 4, 0), std::nullopt);
  EXPECT_EQ(put16(pe.dataBytes.at(0), 201), std::nullopt);           // block claims more than the resource
  EXPECT_EQ(put16(pe.dataBytes.at(0), 2), std::nullopt);
}

TEST(PeVersion, ADeclaredDirectorySizePastTheSectionIsCutToIt) {
  const auto blob = VersionBlob(80);
  auto pe = BuildVersionPe(blob);
  Put32(pe.bytes, pe.resourceDirectory + 4, 0xFFFFFFF0u);
  EXPECT_EQ(Extract(pe.bytes), blob);
}

TEST(PeVersion, BlocksUpToOneMebibyteAreAccepted) {
  EXPECT_EQ(Extract(BuildVersionPe(VersionBlob(kMaxVersionResourceSize)).bytes)->size(), kMaxVersionResourceSize);
  EXPECT_EQ(Extract(BuildVersionPe(VersionBlob(kMaxVersionResourceSize + 4)).bytes), std::nullopt);
}

TEST(PeVersion, ReadsOnlyTheHeadersDirectoryAndBlockOfAHugeFile) {
  const auto blob = VersionBlob(2000);
  const auto pe = BuildVersionPe(blob);
  const uint64_t fileSize = 700ull * 1024 * 1024;  // the rest of a large game executable
  uint64_t bytesRead = 0;
  bool failAll = false;
  const ReadAt read = [&](uint64_t offset, void* out, size_t length) {
    if (failAll) return false;
    bytesRead += length;
    std::memset(out, 0, length);
    if (offset < pe.bytes.size()) {
      std::memcpy(out, pe.bytes.data() + offset, std::min<uint64_t>(length, pe.bytes.size() - offset));
    }
    return true;
  };
  EXPECT_EQ(ExtractVersionResource(read, fileSize), blob);
  EXPECT_LT(bytesRead, blob.size() + 1024);

  failAll = true;
  EXPECT_EQ(ExtractVersionResource(read, fileSize), std::nullopt);
}


// A 32-bit launcher beside the 64-bit game (as many games ship) is a 64-bit
// game; only a folder without any 64-bit program is a 32-bit one.
TEST(PeVersion, AFolderRunsAs32BitOnlyWithoutA64BitProgram) {
  using M = PeMachine;
  EXPECT_EQ(ProgramMachine(std::vector<M>{M::X86, M::Unknown, M::X64}), M::X64);
  EXPECT_EQ(ProgramMachine(std::vector<M>{M::Other, M::X86, M::Unknown}), M::X86);
  EXPECT_EQ(ProgramMachine(std::vector<M>{M::Other, M::Unknown}), M::Unknown);
}
}  // namespace
}  // namespace zrcc
