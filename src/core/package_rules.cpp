#include "core/package_rules.h"

namespace zrcc {

std::vector<std::wstring> PackageEntriesToCopy(const std::vector<PackageEntry>& entries) {
  std::vector<std::wstring> names;
  for (const PackageEntry& entry : entries) {
    if (entry.name == L"." || entry.name == L"..") continue;
    if (entry.isDirectory && entry.name == L"Licenses") continue;
    names.push_back(entry.name);
  }
  return names;
}

std::vector<std::wstring> PackageSourcePaths(const std::wstring& packageFolder,
                                             const std::vector<std::wstring>& names) {
  std::vector<std::wstring> paths;
  paths.reserve(names.size());
  for (const std::wstring& name : names) paths.push_back(packageFolder + L"\\" + name);
  return paths;
}

std::wstring DoubleNulList(const std::vector<std::wstring>& items) {
  std::wstring list;
  for (const std::wstring& item : items) {
    list += item;
    list += L'\0';
  }
  list += L'\0';
  return list;
}

}  // namespace zrcc
