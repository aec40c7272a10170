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
#include "platform/files.h"

namespace zrcc {

namespace {

ReadAt RangesOf(const FileRanges& file) {
  return [&file](uint64_t offset, void* out, size_t length) { return file.ReadAt(offset, out, length); };
}

// The whole version block of a file; nullopt when it has none or it cannot
// be read (a file that cannot be opened simply has no version resource).
std::optional<std::vector<uint8_t>> ReadVersionBlock(const FileRanges& file) {
  if (file.state() != FileRead::Read) return std::nullopt;
  return ExtractVersionResource(RangesOf(file), file.size());
}

std::optional<std::vector<uint8_t>> ReadVersionBlock(const std::wstring& filePath) {
  return ReadVersionBlock(FileRanges(filePath));
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
  const FileRanges file(filePath);
  ExecutableFacts facts;
  if (file.state() != FileRead::Read) return facts;
  if (const auto block = ReadVersionBlock(file)) facts.productName = ReadProductNameInBlock(*block);
  facts.machine = ReadPeMachine(RangesOf(file), file.size());
  return facts;
}

std::optional<FileVersionNumbers> ReadFixedFileVersion(const std::wstring& filePath) {
  const auto block = ReadVersionBlock(filePath);
  return block ? FixedFileVersionInBlock(*block) : std::nullopt;
}

ShownFileVersion ReadShownFileVersion(const std::wstring& filePath) {
  const auto block = ReadVersionBlock(filePath);
  return block ? ShownFileVersionInBlock(*block) : ShownFileVersion{};
}

}  // namespace zrcc
