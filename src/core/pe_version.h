// Finding the raw version resource of a PE file (DLL or EXE) by walking its
// headers and resource directory, reading only the few parts that lead to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace zrcc {

// Reads exactly `length` bytes at `offset` of the file into `out`; false when
// that is not possible.
using ReadAt = std::function<bool(uint64_t offset, void* out, size_t length)>;

// Version data larger than this is not believed (real ones are a few KiB).
inline constexpr uint32_t kMaxVersionResourceSize = 1024 * 1024;

// The bytes of the file's version resource (type 16): the entry with ID 1
// when the file has one, else its first entry, in its first language. Only
// the headers, the directory entries on the way and the resource itself are
// read, so the cost does not grow with the file. nullopt for anything that
// is not a well-formed PE file with such a resource: every offset and size is
// checked against the file size and the directory bounds, and the resource
// must be a version block whose own length fits inside it.
std::optional<std::vector<uint8_t>> ExtractVersionResource(const ReadAt& read, uint64_t fileSize);

// The same on a file held in memory.
std::optional<std::vector<uint8_t>> ExtractVersionResource(std::span<const uint8_t> image);

// The processor a PE file is built for, from its file header: what tells a
// 32-bit build of a game from its 64-bit one, whatever the folder is named.
enum class PeMachine { Unknown, X86, X64, Arm64, Other };

// The machine type of the file's header ("MZ", the "PE\0\0" it points to,
// then the machine field); Unknown for anything that is no PE file. Reads
// a few bytes only.
PeMachine ReadPeMachine(const ReadAt& read, uint64_t fileSize);
PeMachine ReadPeMachine(std::span<const uint8_t> image);

// What a game folder's programs run as, from the machine types of its
// executables: 64-bit (X64, or Arm64) when any one is, else X86 when any one
// is, else Unknown. A folder holding a 32-bit launcher beside the 64-bit
// game is a 64-bit game; only one with no 64-bit program at all is not.
PeMachine ProgramMachine(std::span<const PeMachine> machines);

}  // namespace zrcc
