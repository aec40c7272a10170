#include "deploy/version_reader.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <optional>
#include <vector>

#include "helpers/paths.h"

namespace zrcc {

namespace {

struct VersionTranslation {
  uint16_t language;
  uint16_t codePage;
};

// The whole version block of a file; nullopt when it has none or it cannot
// be read (a file that cannot be opened simply has no version resource).
std::optional<std::vector<uint8_t>> ReadVersionBlock(const std::wstring& filePath) {
  const std::wstring path = ExtendedLengthPath(filePath);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<uint8_t> block(size, 0);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
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
    if (auto name = QueryString(*block, t, L"ProductName", true)) return *name;
  }
  return {};
}

}  // namespace zrcc
