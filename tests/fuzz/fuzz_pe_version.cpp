// Version resources from arbitrary files, all the way to the strings the
// program shows: extraction never faults and never gives more bytes than the
// file holds, and the lookups the program makes on the block (its
// translations, ProductName, FileVersion, ProductVersion, the fixed
// version) never read outside it and never give a string holding a NUL or
// longer than the block; the version a game's file shows stands on one line.
// The machine type of the header is read from the same images.
//
// Random bytes rarely get past the headers or make a block that parses, so
// each input is also applied as a patch (the first two bytes give the
// position, the rest are XORed in there) to a well-formed image and to a
// well-formed version block: the fuzzer explores forged directories, offsets,
// node lengths and value lengths without a corpus of real executables, and an
// input that changes nothing must still give the known results.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "../pure/pe_image_builder.h"
#include "../pure/version_block_builder.h"
#include "core/file_version.h"
#include "core/pe_version.h"
#include "core/version_block.h"

using namespace zrcc;

static void Check(bool condition) {
  if (!condition) std::abort();
}

namespace {

const std::vector<uint8_t>& Blob() {
  static const std::vector<uint8_t> blob = test::VersionBlob(96, 0x5A);
  return blob;
}

const test::BuiltPe& WellFormed() {
  static const test::BuiltPe pe = [] {
    using test::ResourceNode;
    const ResourceNode other{1, {}, {ResourceNode{0x409, {}, {}, test::VersionBlob(24, 0x11)}}, {}};
    return test::BuildPe({
        ResourceNode{0, u"DATA", {other}, {}},
        ResourceNode{3, {}, {other}, {}},
        ResourceNode{16,
                     {},
                     {ResourceNode{0, u"NAMED", {ResourceNode{0x409, {}, {}, test::VersionBlob(32, 0x22)}}, {}},
                      ResourceNode{1,
                                   {},
                                   {ResourceNode{0x407, {}, {}, Blob()}, ResourceNode{0x409, {}, {}, Blob()}},
                                   {}}},
                     {}},
        ResourceNode{24, {}, {other}, {}},
    });
  }();
  return pe;
}

// Two string tables, the mod named in the second, as in a real DLL.
const std::vector<uint8_t>& WellFormedBlock() {
  using test::TextNode;
  static const std::vector<uint8_t> block = test::VersionBytes(test::VersionRoot(
      {{u"040904b0", {TextNode(u"ProductName", u""), TextNode(u"FileVersion", u"9")}},
       {u"040704e4",
        {TextNode(u"ProductName", u"ZandRivell"), TextNode(u"FileVersion", u"2.0.1"),
         TextNode(u"ProductVersion", u"build 7")}}},
      {0x0409, 0x04B0, 0x0407, 0x04E4}));
  return block;
}

// Patches `target` with the input; true when that changed a byte.
bool Patch(std::vector<uint8_t>& target, const uint8_t* data, size_t size) {
  bool changed = false;
  if (size >= 2) {
    const size_t at = (static_cast<size_t>(data[0]) | (static_cast<size_t>(data[1]) << 8)) % target.size();
    for (size_t i = 2; i < size && at + i - 2 < target.size(); ++i) {
      target[at + i - 2] ^= data[i];
      changed = changed || data[i] != 0;
    }
  }
  return changed;
}

void CheckText(const std::wstring& text, size_t blockSize) {
  Check(text.find(L'\0') == std::wstring::npos);
  Check(text.size() <= blockSize / 2);
}

struct Shown {
  bool isMod = false;
  std::wstring name, fileVersion, productVersion;
};

// What the program takes from a block: both questions, as it asks them.
Shown Ask(std::span<const uint8_t> block) {
  Shown s;
  s.isMod = MatchProductVersionsInBlock(block, L"ZandRivell", s.fileVersion, s.productVersion);
  s.name = ReadProductNameInBlock(block);
  for (const std::wstring* text : {&s.name, &s.fileVersion, &s.productVersion}) CheckText(*text, block.size());
  // Only a block that parses can answer, also for its fixed version.
  const bool fixed = FixedFileVersionInBlock(block).has_value();
  if (!VersionBlock::Parse(block)) Check(!s.isMod && s.name.empty() && !fixed);
  const ShownFileVersion game = ShownFileVersionInBlock(block);
  Check(game.productName == s.name && game.version.size() <= kMaxShownVersionLength);
  for (const wchar_t c : game.version) Check(c >= 0x20 && c != 0x7F);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> input(data, size);
  const auto raw = ExtractVersionResource(input);
  Check(!raw || (raw->size() <= size && raw->size() <= kMaxVersionResourceSize));
  if (raw) Ask(*raw);
  Ask(input);

  std::vector<uint8_t> image = WellFormed().bytes;
  const bool imageChanged = Patch(image, data, size);
  const auto patched = ExtractVersionResource(std::span<const uint8_t>(image));
  Check(!patched || patched->size() <= image.size());
  if (!imageChanged) Check(patched == Blob());
  if (patched) Ask(*patched);
  // The machine type: never a fault, and the builder's own where nothing changed.
  const PeMachine machine = ReadPeMachine(std::span<const uint8_t>(image));
  if (!imageChanged) Check(machine == PeMachine::X64);
  if (ReadPeMachine(input) != PeMachine::Unknown) Check(size >= 64 && input[0] == 'M' && input[1] == 'Z');

  std::vector<uint8_t> block = WellFormedBlock();
  const bool blockChanged = Patch(block, data, size);
  const Shown shown = Ask(block);
  if (!blockChanged) {
    Check(shown.isMod && shown.fileVersion == L"2.0.1" && shown.productVersion == L"build 7");
    Check(shown.name == L"ZandRivell");
  }
  return 0;
}
