// The shown-window benchmark: drives the real ZandRivellCC.exe, in its own
// process and its own shown window, from outside, the way a user meets it.
// zrcc_bench times the loader into a hidden list; here every row is also
// drawn, which is what a user waits for.
//
// Each mode copies the program and the list's data.ini into a scratch
// folder (the program keeps both its files beside its executable), starts
// it, finds its main window, and watches it through messages that cross
// processes: the list's row count, the status bar's text and WM_NULL round
// trips. Figures are printed, never asserted; every wait has a limit, and a
// limit reached is printed as such.
//
//   zrcc_shown_bench.exe load   <program> <list folder> <scratch folder> [limit s]
//     the whole load: time to the window, to the first row and to the end,
//     stalls, peak memory, time to exit after a close; then the same games
//     refreshed without any window, and the ratio of the two
//   zrcc_shown_bench.exe close  <program> <list folder> <scratch folder> [limit s]
//     a close during the load (after 1,000 rows or 3 s of the window): time
//     to exit, and whether the list it saved still holds every game
//   zrcc_shown_bench.exe memory <program> <list folder> <scratch folder> [limit s]
//     the whole load of a large list: time, peak memory, time to exit
//
// <program> is ZandRivellCC.exe; <list folder> holds the data.ini to load.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "bench_timing.h"
#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "helpers/refresh_pool.h"
#include "platform/files.h"

namespace {

using namespace zrcc;

constexpr wchar_t kMainWindowClass[] = L"MyWindowClass";  // the program's own, see ui/main_window.h
constexpr wchar_t kProgramName[] = L"ZandRivellCC.exe";
constexpr double kMiB = 1024.0 * 1024.0;
// Exit statuses: a limit reached is a figure, not a failure of the benchmark,
// so scripts/bench.sh goes on after it and fails on the others.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kTimedOut = 3;

using bench::Median;
using bench::Now;

// When the file was last written; zero when it cannot be read.
uint64_t LastWriteTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

std::vector<GameListEntry> ReadList(const std::wstring& dataFile) {
  std::string bytes;
  if (ReadWholeFile(dataFile, bytes) != FileRead::Read) return {};
  return ReadGameListEntries(bytes);
}

// The list to load; empty, after saying so, when there is none to read.
std::vector<GameListEntry> ReadListToLoad(const std::wstring& listFolder) {
  std::vector<GameListEntry> entries = ReadList(listFolder + L"\\data.ini");
  if (entries.empty()) std::printf("  no games to load: no readable data.ini in %ls\n", listFolder.c_str());
  return entries;
}

// ---- Responsiveness -------------------------------------------------------

// Sends WM_NULL to the program's main window every 10 ms and times each
// round trip, as Windows does before it calls a window "Not Responding".
// The first round trip waits for the program's start-up (the window exists
// before its message loop runs): it is kept apart from the load's stalls.
class StallProbe {
 public:
  explicit StallProbe(HWND window) : window_(window), thread_([this] { Run(); }) {}
  ~StallProbe() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // After Stop: the first round trip, in ms.
  double FirstAnswer() const { return first_; }
  // After Stop: the longest round trip after the first and the 99th
  // percentile, in ms.
  void Figures(double& longest, double& p99) {
    std::sort(samples_.begin(), samples_.end());
    longest = samples_.empty() ? 0 : samples_.back();
    p99 = samples_.empty() ? 0 : samples_[std::min(samples_.size() - 1, samples_.size() * 99 / 100)];
  }

 private:
  void Run() {
    while (!stop_) {
      const double sent = Now();
      DWORD_PTR result = 0;
      // A window that does not answer within a minute has stalled at least
      // that long: the sample says so, and the probe goes on.
      SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
      const double ms = (Now() - sent) * 1000.0;
      if (first_ < 0) {
        first_ = ms;
      } else {
        samples_.push_back(ms);
      }
      Sleep(10);
    }
  }
  const HWND window_;
  std::atomic<bool> stop_{false};
  double first_ = -1;
  std::vector<double> samples_;
  std::thread thread_;
};

// ---- The program, run from a scratch folder --------------------------------

class Program {
 public:
  ~Program() {
    if (process_.hProcess) {
      // Never left behind: a copy still running would hold the program's
      // single-instance lock and turn the next start into a no-op.
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 10000);
      }
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
  }

  // Puts the program and the list's data.ini (and no settings.ini: the
  // defaults, every time) into `scratch`, then starts it there.
  bool Start(const std::wstring& program, const std::wstring& listFolder, const std::wstring& scratch) {
    CreateDirectoryW(scratch.c_str(), nullptr);
    const std::wstring exe = scratch + L"\\" + kProgramName;
    DeleteFileW((scratch + L"\\settings.ini").c_str());
    if (!CopyFileW(program.c_str(), exe.c_str(), FALSE) ||
        !CopyFileW((listFolder + L"\\data.ini").c_str(), (scratch + L"\\data.ini").c_str(), FALSE)) {
      std::printf("  could not copy the program and its list into the scratch folder (error %lu)\n", GetLastError());
      return false;
    }
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    start_ = Now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, scratch.c_str(),
                        &startup, &process_)) {
      std::printf("  could not start the program (error %lu)\n", GetLastError());
      return false;
    }
    return true;
  }

  // Waits for the main window and its list and status bar.
  bool FindWindows(double limitSeconds) {
    while (Now() - start_ < limitSeconds && !Exited()) {
      HWND candidate = nullptr;
      while ((candidate = FindWindowExW(nullptr, candidate, kMainWindowClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(candidate, &owner);
        if (owner == process_.dwProcessId && IsWindowVisible(candidate)) {
          main_ = candidate;
          list_ = FindWindowExW(main_, nullptr, WC_LISTVIEWW, nullptr);
          status_ = FindWindowExW(main_, nullptr, STATUSCLASSNAMEW, nullptr);
          if (list_ && status_) {
            windowSeconds_ = Seconds();
            return true;
          }
        }
      }
      Sleep(10);
    }
    std::printf("  %s after %.0f s\n", Exited() ? "the program exited before its window was found"
                                               : "timed out looking for the window", Seconds());
    return false;
  }

  double Seconds() const { return Now() - start_; }
  double WindowSeconds() const { return windowSeconds_; }
  HWND MainWindow() const { return main_; }
  bool Exited() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

  // The list's row count; -1 when the window did not answer in time.
  long Rows() const {
    DWORD_PTR rows = 0;
    if (!SendMessageTimeoutW(list_, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &rows)) return -1;
    return static_cast<long>(rows);
  }

  // The status bar's text. WM_GETTEXT is copied between processes by the
  // system; SB_GETTEXT would need a buffer inside the program.
  std::wstring StatusText() const {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(status_, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &length)) {
      return L"";
    }
    return text;
  }

  // Keeps the program's peak working set and peak private bytes, in MiB.
  void SampleMemory() {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (K32GetProcessMemoryInfo(process_.hProcess, &memory, sizeof memory)) {
      peakWorkingSet_ = std::max(peakWorkingSet_, static_cast<double>(memory.PeakWorkingSetSize) / kMiB);
      peakPrivate_ = std::max(peakPrivate_, static_cast<double>(memory.PeakPagefileUsage) / kMiB);
    }
  }
  void PrintMemory() const {
    std::printf("  peak working set %.1f MiB, peak private bytes %.1f MiB\n", peakWorkingSet_, peakPrivate_);
  }

  // A load is over when every row is in and the status bar, which the load
  // sets last and the UI thread answers for, gives their count.
  // `rows` keeps its last count when the list does not answer in time.
  bool LoadOver(long expected, long& rows) const {
    const long now = Rows();
    if (now >= 0) rows = now;
    if (now != expected) return false;
    const std::wstring done = L"Games: " + std::to_wstring(expected);
    const std::wstring status = StatusText();
    return status.compare(0, done.size(), done) == 0 && (status.size() == done.size() || status[done.size()] == L' ');
  }

  // How a wait for rows ended.
  enum class Wait { Reached, Limit, Exited };

  // Waits, up to `limitSeconds` from the start, until the load is over or
  // `enough` rows are in. Samples memory and notes the first row on the way.
  // An early exit is always printed, the limit when `limitIsTimeout`.
  Wait WaitForRows(long expected, long enough, double limitSeconds, long& rows, bool limitIsTimeout = true) {
    while (!Exited()) {
      SampleMemory();
      const bool over = LoadOver(expected, rows);
      if (rows > 0 && firstRowSeconds_ < 0) firstRowSeconds_ = Seconds();
      if (over || rows >= enough) return Wait::Reached;
      if (Seconds() >= limitSeconds) {
        if (limitIsTimeout) std::printf("  timed out after %.0f s, rows: %ld\n", Seconds(), rows);
        return Wait::Limit;
      }
      Sleep(20);
    }
    std::printf("  the program exited during the load after %.1f s (exit code %lu), rows: %ld\n", Seconds(), ExitCode(),
                rows);
    return Wait::Exited;
  }
  double FirstRowSeconds() const { return firstRowSeconds_; }

  // Asks the window to close as a user does and times the exit. A program
  // still running at the limit is ended, and whatever box it shows is named.
  void CloseAndTime(double limitSeconds) {
    const double asked = Now();
    PostMessageW(main_, WM_CLOSE, 0, 0);
    const DWORD waited = WaitForSingleObject(process_.hProcess, static_cast<DWORD>(limitSeconds * 1000));
    const double seconds = Now() - asked;
    if (waited == WAIT_OBJECT_0) {
      std::printf("  exit after the close: %.3f s (exit code %lu)\n", seconds, ExitCode());
      return;
    }
    std::printf("  timed out after %.0f s waiting for the exit after the close%s; ended it\n", seconds,
                DescribeOpenBox().c_str());
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
  }

 private:
  unsigned long ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  // The title and text of a message box the program shows, if any: a close
  // that hangs on a question is not a slow close.
  std::string DescribeOpenBox() const {
    std::string found;
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner != process_.dwProcessId || !IsWindowVisible(box)) continue;
      wchar_t title[200] = {}, text[400] = {};
      GetWindowTextW(box, title, 200);
      if (const HWND label = GetDlgItem(box, 0xFFFF)) GetWindowTextW(label, text, 400);
      char line[1400];
      std::snprintf(line, sizeof line, " (a box is open: \"%ls\": \"%ls\")", title, text);
      found += line;
    }
    return found;
  }

  PROCESS_INFORMATION process_{};
  double start_ = 0;
  double windowSeconds_ = -1;
  double firstRowSeconds_ = -1;
  double peakWorkingSet_ = 0;
  double peakPrivate_ = 0;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
};

// ---- The walks alone --------------------------------------------------------

// What refreshing the games without a window gave.
struct WalksAlone {
  double seconds = 0;
  size_t present = 0;     // folders found
  size_t recognised = 0;  // of those, games with an executable recognised
};

// The same games refreshed as the load refreshes them, on the same workers,
// with no window, no rows and no catalogue: what the load costs at least.
WalksAlone TimeWalksAlone(const std::vector<GameListEntry>& entries) {
  std::vector<Game> games;
  for (const GameListEntry& entry : entries) {
    Game game;
    game.path = entry.path;
    game.exeFolder = entry.exeFolder;
    game.name = entry.name;
    games.push_back(std::move(game));
  }
  WalksAlone walks;
  const double start = Now();
  OrderedRefresh refresh(std::move(games), false);
  for (size_t i = 0; i < refresh.size(); ++i) {
    const RefreshedGame* done = refresh.Take(i);
    if (!done || !done->exists) continue;
    ++walks.present;
    if (done->game.exeChoice != ExeChoice::None) ++walks.recognised;
  }
  walks.seconds = Now() - start;
  return walks;
}

// ---- The modes ----------------------------------------------------------------

struct Arguments {
  std::wstring program, listFolder, scratch;
  double limit = 600;
};

int RunLoad(const Arguments& args) {
  const std::vector<GameListEntry> entries = ReadListToLoad(args.listFolder);
  if (entries.empty()) return kFailed;
  const long expected = static_cast<long>(entries.size());
  std::printf("shown window, whole load of %ld games:\n", expected);
  double load = -1, longest = 0, p99 = 0;
  Program::Wait wait;
  {
    Program program;
    if (!program.Start(args.program, args.listFolder, args.scratch) || !program.FindWindows(60)) return kFailed;
    StallProbe probe(program.MainWindow());
    long rows = 0;
    wait = program.WaitForRows(expected, expected, args.limit, rows);
    if (wait == Program::Wait::Reached) load = program.Seconds();
    probe.Stop();
    probe.Figures(longest, p99);
    program.SampleMemory();
    std::printf("  window after %.3f s, first row after %.3f s\n", program.WindowSeconds(), program.FirstRowSeconds());
    if (load > 0) {
      std::printf("  all %ld rows in and the count shown after %.3f s from the start, %.3f s from the window\n", rows,
                  load, load - program.WindowSeconds());
    }
    std::printf("  longest stall %.1f ms, 99th percentile %.1f ms (WM_NULL round trips every 10 ms, after the first,\n"
                "  which waited %.1f ms for the start-up)\n",
                longest, p99, probe.FirstAnswer());
    program.PrintMemory();
    program.CloseAndTime(args.limit);
  }
  // Three rounds on the cache the load has warmed.
  std::vector<double> seconds;
  WalksAlone walks;
  for (int round = 0; round < 3; ++round) {
    walks = TimeWalksAlone(entries);
    seconds.push_back(walks.seconds);
  }
  const double floor = Median(seconds);
  std::printf("the same games refreshed without any window (%d workers, median of 3): %.3f s\n",
              RefreshWorkerCount(), floor);
  if (load > 0 && floor > 0) std::printf("  shown-window load / walks alone = %.1f\n", load / floor);
  // Every game of the list was built with its folder and one executable: a
  // game missing or unrecognised means the figures are not about this list.
  std::printf("  games present %zu of %ld, with an executable recognised %zu%s\n", walks.present, expected,
              walks.recognised,
              walks.present == entries.size() && walks.recognised == entries.size() ? "" : "  (NOT THE LIST BUILT)");
  if (walks.present != entries.size() || walks.recognised != entries.size()) return kFailed;
  return wait == Program::Wait::Reached ? kDone : wait == Program::Wait::Limit ? kTimedOut : kFailed;
}

int RunClose(const Arguments& args) {
  const std::vector<GameListEntry> entries = ReadListToLoad(args.listFolder);
  if (entries.empty()) return kFailed;
  const long expected = static_cast<long>(entries.size());
  std::printf("shown window, close during the load of %ld games:\n", expected);
  // The copy of the list keeps the time the list was written: a close that
  // saved nothing would leave it, and the games counted would prove nothing.
  const std::wstring savedList = args.scratch + L"\\data.ini";
  uint64_t copied = 0;
  {
    Program program;
    if (!program.Start(args.program, args.listFolder, args.scratch)) return kFailed;
    copied = LastWriteTime(savedList);
    if (!program.FindWindows(60)) return kFailed;
    long rows = 0;
    program.WaitForRows(expected, 1000, program.WindowSeconds() + 3, rows, false);
    if (program.Exited()) return kFailed;
    std::printf("  closing after %.3f s with %ld rows in\n", program.Seconds(), program.Rows());
    program.CloseAndTime(args.limit);
  }
  // What the program saved as it closed, read with its own parser.
  if (LastWriteTime(savedList) == copied) {
    std::printf("  data.ini was NOT SAVED by the close\n");
    return kFailed;
  }
  const std::vector<GameListEntry> saved = ReadList(savedList);
  size_t samePaths = 0;
  for (size_t i = 0; i < std::min(saved.size(), entries.size()); ++i) samePaths += saved[i].path == entries[i].path;
  std::printf("  data.ini after the close lists %zu of %ld games, %zu of them in their place%s\n", saved.size(),
              expected, samePaths, samePaths == entries.size() && saved.size() == entries.size() ? "" : "  (GAMES LOST)");
  return saved.size() == entries.size() && samePaths == entries.size() ? kDone : kFailed;
}

int RunMemory(const Arguments& args) {
  const std::vector<GameListEntry> entries = ReadListToLoad(args.listFolder);
  if (entries.empty()) return kFailed;
  const long expected = static_cast<long>(entries.size());
  std::printf("shown window, memory at %ld games:\n", expected);
  Program program;
  if (!program.Start(args.program, args.listFolder, args.scratch) || !program.FindWindows(60)) return kFailed;
  long rows = 0;
  const Program::Wait wait = program.WaitForRows(expected, expected, args.limit, rows);
  program.SampleMemory();
  if (wait == Program::Wait::Reached) {
    std::printf("  all %ld rows in and the count shown after %.3f s from the start\n", rows, program.Seconds());
  }
  program.PrintMemory();
  program.CloseAndTime(args.limit);
  return wait == Program::Wait::Reached ? kDone : wait == Program::Wait::Limit ? kTimedOut : kFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5 || argc > 6) {
    std::fprintf(stderr, "usage: zrcc_shown_bench.exe load|close|memory <program> <list folder> <scratch folder> "
                         "[limit s]\n");
    return 2;
  }
  Arguments args{argv[2], argv[3], argv[4]};
  if (argc == 6) args.limit = std::max(1.0, _wtof(argv[5]));
  int result = 2;  // an unknown mode
  if (std::wcscmp(argv[1], L"load") == 0) result = RunLoad(args);
  if (std::wcscmp(argv[1], L"close") == 0) result = RunClose(args);
  if (std::wcscmp(argv[1], L"memory") == 0) result = RunMemory(args);
  std::fflush(stdout);
  return result;
}
