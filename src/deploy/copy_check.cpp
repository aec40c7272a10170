#include "deploy/copy_check.h"

#include <windows.h>

#include "core/package_rules.h"
#include "core/paths.h"
#include "platform/listing.h"

namespace zrcc {

namespace {

uint64_t SizeOf(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

// The size of the file at `path`; none when nothing, or a folder, is there.
std::optional<uint64_t> FileSizeAt(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(ExtendedLengthPath(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  return SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
}

void CompareEntry(const std::wstring& package, const std::wstring& target, const std::wstring& relative,
                  const WIN32_FIND_DATAW& entry, std::vector<ShortCopy>& shortCopies) {
  if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    // A link inside the package could lead back to a folder above it.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return;
    const std::wstring folder = JoinPath(package, relative);
    ForEachEntry(folder, [&](const WIN32_FIND_DATAW& inner) {
      CompareEntry(package, target, JoinPath(relative, inner.cFileName), inner, shortCopies);
    });
    return;
  }
  const uint64_t expected = SizeOf(entry.nFileSizeHigh, entry.nFileSizeLow);
  const std::optional<uint64_t> found = FileSizeAt(JoinPath(target, relative));
  if (found != expected) shortCopies.push_back({relative, expected, found});
}

}  // namespace

std::vector<ShortCopy> FindShortCopies(const std::wstring& packageFolder, const std::wstring& targetFolder) {
  std::vector<WIN32_FIND_DATAW> entries;
  std::vector<PackageEntry> listing;
  ForEachEntry(packageFolder, [&](const WIN32_FIND_DATAW& entry) {
    entries.push_back(entry);
    listing.push_back({entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  });
  const std::vector<std::wstring> copied = PackageEntriesToCopy(listing);
  std::vector<ShortCopy> shortCopies;
  size_t next = 0;
  for (const WIN32_FIND_DATAW& entry : entries) {
    if (next < copied.size() && copied[next] == entry.cFileName) {
      CompareEntry(packageFolder, targetFolder, copied[next++], entry, shortCopies);
    }
  }
  return shortCopies;
}

}  // namespace zrcc
