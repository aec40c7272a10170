#include "platform/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include <mutex>

#include "core/paths.h"
#include "platform/files.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

// Image paths are at most the system's path limit; the buffer grows to it.
constexpr DWORD kFirstImageBuffer = 1024;
constexpr DWORD kLongestImagePath = 32768;

std::mutex gListerLock;
ProcessLister gLister;

// The executable's path of process `id`; empty when it cannot be asked for.
std::wstring ImagePathOf(DWORD id) {
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  if (!process) return {};
  for (DWORD capacity = kFirstImageBuffer; capacity <= kLongestImagePath; capacity *= 2) {
    std::wstring path(capacity, L'\0');
    DWORD length = capacity;
    if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) {
      path.resize(length);
      return path;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
  }
  return {};
}

// The path the system resolves `folder` to (links, short names); empty when
// it cannot say.
std::wstring ResolvedFolder(const std::wstring& folder) {
  const UniqueHandle dir(CreateFileW(ExtendedLengthPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!dir) return {};
  return FinalPathOf(dir.get());
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace

std::vector<RunningProcess> ListRunningProcesses() {
  std::vector<RunningProcess> processes;
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return processes;
  const DWORD self = GetCurrentProcessId();
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == 0 || entry.th32ProcessID == self) continue;
    std::wstring image = ImagePathOf(entry.th32ProcessID);
    if (!image.empty()) processes.push_back({entry.th32ProcessID, std::move(image)});
  }
  return processes;
}

void SetProcessLister(ProcessLister lister) {
  const std::lock_guard<std::mutex> hold(gListerLock);
  gLister = std::move(lister);
}

bool ImageLiesInFolder(std::wstring_view imagePath, std::wstring_view folder) {
  // The long form of any length spells drive and network roots one way and
  // resolves "." and ".."; its parts are then compared name by name.
  const std::wstring longImage = ExtendedLengthPath(imagePath, 0);
  const std::wstring longFolder = ExtendedLengthPath(folder, 0);
  const std::vector<std::wstring_view> image = PathComponents(longImage);
  const std::vector<std::wstring_view> base = PathComponents(longFolder);
  // A relative spelling has no long form: it names no place to compare.
  if (base.empty() || base.front() != L"?" || image.size() <= base.size()) return false;
  for (size_t i = 0; i < base.size(); ++i) {
    if (base[i] == L".." || !SameName(image[i], base[i])) return false;
  }
  return true;
}

std::optional<RunningProcess> FindProcessRunningFrom(const std::wstring& folder) {
  if (folder.empty()) return std::nullopt;
  ProcessLister lister;
  {
    const std::lock_guard<std::mutex> hold(gListerLock);
    lister = gLister;
  }
  const std::vector<RunningProcess> processes = lister ? lister() : ListRunningProcesses();
  const std::wstring resolved = ResolvedFolder(folder);
  for (const RunningProcess& process : processes) {
    if (ImageLiesInFolder(process.imagePath, folder) ||
        (!resolved.empty() && ImageLiesInFolder(process.imagePath, resolved))) {
      return process;
    }
  }
  return std::nullopt;
}

}  // namespace zrcc
