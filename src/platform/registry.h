// Reading what other programs keep in the registry (launchers' install
// folders and game entries). Values are outside input: any type, any length.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zrcc {

// The text of value `name` of key `subKey` below `root`: a REG_SZ, or a
// REG_EXPAND_SZ with its variables expanded. Nothing when the key or value is
// missing, of another type, or longer than any path (32,767 characters).
std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& subKey, const std::wstring& name);

// The names of the subkeys of `subKey` below `root`, in the registry's
// order; empty when the key is missing.
std::vector<std::wstring> RegistrySubkeys(HKEY root, const std::wstring& subKey);

}  // namespace zrcc
