// The version block is read from the file itself by walking its resource
// directory, not through GetFileVersionInfoW: under Wine that call answers
// for a file named like one of Wine's own DLLs (dxgi.dll, d3d11.dll,
// version.dll, ...) with the resource of Wine's DLL, whatever folder the path
// names, and those are exactly the names the mod is installed under. A file
// that merely shares a system DLL's name must be read as itself. Nor are the
// strings looked up with VerQueryValueW: it trusts the lengths inside the
// block, and a crafted block (the old 16-bit layout, say) makes it write past
// any buffer the block is handed in. They are looked up by VersionBlock,
// which checks every length first.
#include "deploy/version_reader.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/paths.h"
#include "core/pe_version.h"
#include "core/version_block.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

// Reads exactly `length` bytes at `offset`; false on a short read.
bool ReadFileAt(HANDLE file, uint64_t offset, void* out, size_t length) {
  auto* bytes = static_cast<uint8_t*>(out);
  while (length > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file, bytes, chunk, &got, &at) || got == 0) return false;
    bytes += got;
    offset += got;
    length -= got;
  }
  return true;
}

// A PE file opened for reading parts of it, shared with every other
// program; not open() when it cannot be opened or measured.
class OpenedFile {
 public:
  explicit OpenedFile(const std::wstring& filePath)
      : file_(CreateFileW(ExtendedLengthPath(filePath).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)),
        read_([this](uint64_t offset, void* out, size_t length) { return ReadFileAt(file_.get(), offset, out, length); }) {
    LARGE_INTEGER size{};
    if (file_ && GetFileSizeEx(file_.get(), &size) && size.QuadPart >= 0) size_ = static_cast<uint64_t>(size.QuadPart);
  }
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;
  bool open() const { return size_.has_value(); }
  const ReadAt& read() const { return read_; }
  uint64_t size() const { return *size_; }

 private:
  UniqueHandle file_;
  ReadAt read_;
  std::optional<uint64_t> size_;
};

// The whole version block of a file; nullopt when it has none or it cannot
// be read (a file that cannot be opened simply has no version resource).
std::optional<std::vector<uint8_t>> ReadVersionBlock(const OpenedFile& file) {
  if (!file.open()) return std::nullopt;
  return ExtractVersionResource(file.read(), file.size());
}

std::optional<std::vector<uint8_t>> ReadVersionBlock(const std::wstring& filePath) {
  return ReadVersionBlock(OpenedFile(filePath));
}

}  // namespace

bool MatchProductVersions(const std::wstring& filePath, const std::wstring& expectedProductName,
                          std::wstring& fileVersion, std::wstring& productVersion) {
  const auto block = ReadVersionBlock(filePath);
  return block && MatchProductVersionsInBlock(*block, expectedProductName, fileVersion, productVersion);
}

std::wstring ReadProductName(const std::wstring& filePath) {
  const auto block = ReadVersionBlock(filePath);
  return block ? ReadProductNameInBlock(*block) : std::wstring();
}

ExecutableFacts ReadExecutableFacts(const std::wstring& filePath) {
  const OpenedFile file(filePath);
  ExecutableFacts facts;
  if (!file.open()) return facts;
  if (const auto block = ReadVersionBlock(file)) facts.productName = ReadProductNameInBlock(*block);
  facts.machine = ReadPeMachine(file.read(), file.size());
  return facts;
}

std::optional<FileVersionNumbers> ReadFixedFileVersion(const std::wstring& filePath) {
  const auto block = ReadVersionBlock(filePath);
  return block ? FixedFileVersionInBlock(*block) : std::nullopt;
}

}  // namespace zrcc
