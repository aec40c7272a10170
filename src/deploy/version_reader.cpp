// The version block is read from the file itself by walking its resource
// directory, not through GetFileVersionInfoW: under Wine that call answers
// for a file named like one of Wine's own DLLs (dxgi.dll, d3d11.dll,
// version.dll, ...) with the resource of Wine's DLL, whatever folder the path
// names, and those are exactly the names the mod is installed under. A file
// that merely shares a system DLL's name must be read as itself. The strings
// are still looked up with VerQueryValueW on the block.
#include "deploy/version_reader.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <optional>
#include <vector>

#include "deploy/pe_version.h"
#include "helpers/paths.h"
#include "helpers/win_handles.h"

namespace zrcc {

namespace {

struct VersionTranslation {
  uint16_t language;
  uint16_t codePage;
};

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

// The whole version block of a file; nullopt when it has none or it cannot
// be read (a file that cannot be opened simply has no version resource).
// The block sits in a zeroed buffer of more than twice its size, the room
// the version API keeps behind a block for its own conversions.
std::optional<std::vector<uint8_t>> ReadVersionBlock(const std::wstring& filePath) {
  const std::wstring path = ExtendedLengthPath(filePath);
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  const ReadAt read = [&file](uint64_t offset, void* out, size_t length) {
    return ReadFileAt(file.get(), offset, out, length);
  };
  const auto resource = ExtractVersionResource(read, static_cast<uint64_t>(size.QuadPart));
  if (!resource) return std::nullopt;
  std::vector<uint8_t> block(2 * resource->size() + 64, 0);
  std::memcpy(block.data(), resource->data(), resource->size());
  return block;
}

// The translation table; empty when missing or shorter than one entry.
std::vector<VersionTranslation> Translations(const std::vector<uint8_t>& block) {
  void* data = nullptr;
  UINT length = 0;
  std::vector<VersionTranslation> list;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &length) || !data) return list;
  const auto* entries = static_cast<const uint16_t*>(data);
  for (UINT i = 0; i < length / 4; ++i) list.push_back({entries[2 * i], entries[2 * i + 1]});
  return list;
}

std::wstring StringKey(VersionTranslation t, const wchar_t* name) {
  wchar_t key[256];
  std::swprintf(key, 256, L"\\StringFileInfo\\%04x%04x\\%ls", static_cast<unsigned>(t.language),
                static_cast<unsigned>(t.codePage), name);
  return key;
}

// A string of one translation: the text up to its first NUL, or nullopt when
// the key is absent. `requireLength` also rejects values reported as empty.
std::optional<std::wstring> QueryString(const std::vector<uint8_t>& block, VersionTranslation t,
                                        const wchar_t* name, bool requireLength) {
  void* data = nullptr;
  UINT length = 0;
  const std::wstring key = StringKey(t, name);
  if (!VerQueryValueW(block.data(), key.c_str(), &data, &length) || !data) return std::nullopt;
  if (requireLength && length == 0) return std::nullopt;
  // The value ends at its first NUL, but never past the block.
  const auto* text = static_cast<const wchar_t*>(data);
  const auto* end = reinterpret_cast<const wchar_t*>(block.data() + block.size());
  const wchar_t* p = text;
  while (p < end && *p != L'\0') ++p;
  return std::wstring(text, p);
}

}  // namespace

bool MatchProductVersions(const std::wstring& filePath, const std::wstring& expectedProductName,
                          std::wstring& fileVersion, std::wstring& productVersion) {
  const auto block = ReadVersionBlock(filePath);
  if (!block) return false;
  for (const VersionTranslation t : Translations(*block)) {
    const auto product = QueryString(*block, t, L"ProductName", false);
    if (!product || *product != expectedProductName) continue;
    if (auto v = QueryString(*block, t, L"FileVersion", false)) fileVersion = std::move(*v);
    if (auto v = QueryString(*block, t, L"ProductVersion", false)) productVersion = std::move(*v);
    return true;
  }
  return false;
}

std::wstring ReadProductName(const std::wstring& filePath) {
  const auto block = ReadVersionBlock(filePath);
  if (!block) return {};
  std::vector<VersionTranslation> translations = Translations(*block);
  if (translations.empty()) translations.push_back({0x0409, 0x04E4});
  for (const VersionTranslation t : translations) {
    // Resource compilers store an empty name with its ending NUL (a reported
    // length of 1): that is no name either, and the next translation counts.
    if (auto name = QueryString(*block, t, L"ProductName", true); name && !name->empty()) return *name;
  }
  return {};
}

}  // namespace zrcc
