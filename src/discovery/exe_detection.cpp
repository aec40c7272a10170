#include "discovery/exe_detection.h"

#include <windows.h>

#include <deque>
#include <filesystem>
#include <system_error>

#include "deploy/version_reader.h"
#include "helpers/paths.h"
#include "helpers/win_handles.h"
#include "ui/dialogs.h"

namespace zrcc {

namespace {

// One folder of the walk being listed. The walk keeps these on a heap stack
// rather than recursing: with long paths a tree can be thousands of folders
// deep, more than a thread's stack would hold in nested calls.
struct OpenListing {
  OpenListing(size_t length, const std::wstring& pattern)
      : folderLength(length), find(FindFirstFileW(ExtendedLengthPath(pattern).c_str(), &data)) {}
  size_t folderLength;  // the folder's length within the walk's path text
  WIN32_FIND_DATAW data{};
  FindHandle find;
  bool unread = true;  // `data` holds the first entry, not yet handled
};

bool IsDotEntry(const wchar_t* name) {
  return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

}  // namespace

void CollectExecutables(const std::wstring& folder, std::vector<ExecutableCandidate>& list) {
  // `path` holds the folder of the innermost open listing, then, while an
  // entry is handled, the separator and the entry's name.
  std::wstring path = folder;
  auto separatorAfter = [&path](size_t length) {
    path.resize(length);
    if (!path.empty() && !EndsWithSeparator(path)) path += L'\\';
  };
  std::deque<OpenListing> open;
  separatorAfter(path.size());
  open.emplace_back(folder.size(), path + L'*');
  while (!open.empty()) {
    OpenListing& top = open.back();
    if (!top.find || (!top.unread && !FindNextFileW(top.find.get(), &top.data))) {
      open.pop_back();
      continue;
    }
    top.unread = false;
    const DWORD attributes = top.data.dwFileAttributes;
    const wchar_t* name = top.data.cFileName;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || IsDotEntry(name)) continue;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      separatorAfter(top.folderLength);
      path += name;
      const size_t length = path.size();
      separatorAfter(length);
      open.emplace_back(length, path + L'*');
    } else if (IsExeName(name)) {
      ExecutableCandidate candidate{name, path.substr(0, top.folderLength), {}};
      candidate.productName = ReadProductName(CandidateFullPath(candidate));
      list.push_back(std::move(candidate));
    }
  }
}

std::optional<ExecutableCandidate> FindGameExecutable(const Game& game) {
  std::vector<ExecutableCandidate> candidates;
  CollectExecutables(game.path, candidates);
  if (candidates.empty()) {
    ShowMessageBox(nullptr, L"The folder " + LastComponent(game.path) + L" contains no executable!",
                   L"No executable found", MB_ICONWARNING);
    return std::nullopt;
  }
  const std::optional<size_t> chosen = ChooseExecutable(game.path, candidates);
  if (!chosen) return std::nullopt;
  return candidates[*chosen];
}

namespace {

namespace fs = std::filesystem;

// The path without a "\\?\" (or "\\?\UNC\") prefix: the library's path
// algebra reads such a prefix as a root of its own, which would put prefixed
// and plain spellings of one folder on different roots.
std::wstring WithoutExtendedPrefix(const std::wstring& path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

fs::path WeaklyCanonical(const std::wstring& text) {
  const fs::path plain(WithoutExtendedPrefix(text));
  std::error_code error;
  fs::path result = fs::weakly_canonical(plain, error);
  if (error) {
    result = fs::absolute(plain, error);
    if (error) result = plain;
    result = result.lexically_normal();
  }
  return result;
}

}  // namespace

std::wstring RelativeExeFolder(const std::wstring& exeFullPath, const std::wstring& gamePath) {
  const fs::path folder = WeaklyCanonical(exeFullPath).parent_path();
  const fs::path base = WeaklyCanonical(gamePath);
  if (folder.root_name().native() != base.root_name().native() ||
      folder.has_root_directory() != base.has_root_directory()) {
    return {};
  }
  const fs::path folderRest = folder.relative_path();
  const fs::path baseRest = base.relative_path();
  auto f = folderRest.begin();
  auto b = baseRest.begin();
  // Components compare exactly; an empty one stands for a trailing separator.
  while (f != folderRest.end() && b != baseRest.end() && f->native() == b->native()) {
    ++f;
    ++b;
  }
  std::wstring relative;
  auto append = [&relative](const std::wstring& component) {
    if (component.empty()) return;
    if (!relative.empty()) relative += L'\\';
    relative += component;
  };
  for (; b != baseRest.end(); ++b) {
    if (!b->empty()) append(L"..");
  }
  for (; f != folderRest.end(); ++f) append(f->native());
  return relative;
}

}  // namespace zrcc
