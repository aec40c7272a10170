#include "platform/registry.h"

#include "platform/win_handles.h"

namespace zrcc {

namespace {
constexpr DWORD kMaxTextUnits = 32767;
}  // namespace

std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& subKey, const std::wstring& name) {
  const RegistryKey key(root, subKey.c_str());
  if (!key.get()) return std::nullopt;
  // RegGetValueW ends the text with a NUL even where the stored value has
  // none, says how much room a longer value needs, and hands a REG_EXPAND_SZ
  // over expanded, as a REG_SZ.
  constexpr DWORD kTypes = RRF_RT_REG_SZ;
  DWORD bytes = 0;
  if (RegGetValueW(key.get(), nullptr, name.c_str(), kTypes, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  for (int attempt = 0; attempt < 3; ++attempt) {  // the value may change between the calls
    if (bytes / sizeof(wchar_t) > kMaxTextUnits + 1) return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(key.get(), nullptr, name.c_str(), kTypes, nullptr, text.data(), &size);
    if (status == ERROR_MORE_DATA) {
      bytes = size;
      continue;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return text;
  }
  return std::nullopt;
}

std::vector<std::wstring> RegistrySubkeys(HKEY root, const std::wstring& subKey) {
  std::vector<std::wstring> names;
  const RegistryKey key(root, subKey.c_str());
  if (!key.get()) return names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];  // the longest key name the registry allows, and its NUL
    DWORD length = 256;
    const LSTATUS status = RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) names.emplace_back(name, length);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;
  }
  return names;
}

}  // namespace zrcc
