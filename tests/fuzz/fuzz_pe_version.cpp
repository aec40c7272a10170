// Version resource extraction on arbitrary files: never a fault, and never
// more bytes back than the file holds. Random bytes rarely get past the
// headers, so each input is also applied as a patch to a well-formed image
// (the first two bytes give the position, the rest are XORed in there): the
// fuzzer explores forged directories, offsets and sizes without a corpus of
// real executables, and an input that changes nothing must still find the
// block.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "../pure/pe_image_builder.h"
#include "deploy/pe_version.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto raw = ExtractVersionResource(std::span<const uint8_t>(data, size));
  Check(!raw || (raw->size() <= size && raw->size() <= kMaxVersionResourceSize));

  std::vector<uint8_t> image = WellFormed().bytes;
  bool changed = false;
  if (size >= 2) {
    const size_t at = (static_cast<size_t>(data[0]) | (static_cast<size_t>(data[1]) << 8)) % image.size();
    for (size_t i = 2; i < size && at + i - 2 < image.size(); ++i) {
      image[at + i - 2] ^= data[i];
      changed = changed || data[i] != 0;
    }
  }
  const auto patched = ExtractVersionResource(std::span<const uint8_t>(image));
  Check(!patched || patched->size() <= image.size());
  if (!changed) Check(patched == Blob());
  return 0;
}
