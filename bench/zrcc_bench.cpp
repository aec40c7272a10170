// Loading benchmark. Times, alternating within one run:
//   (a) a full load through the real loader, from LaunchAsyncLoadData to the
//       end-of-load message, into a hidden window whose rows are really
//       inserted;
//   (b) the plain reference: the same games refreshed one after another with
//       recursive FindFirstFileW walks, the way refreshing was first written;
//   (c) "Add Dir" of the whole library, which detects every executable.
// Prints the medians, the ratios a/b and c/b, and the peak memory. The
// figures are reported, never asserted.
//
//   zrcc_bench.exe <library folder holding data.ini and steamapps> [rounds]
//
// A second mode measures only the size walks of some of data.ini's games,
// so that scripts/bench.sh can run several processes side by side and show
// how much running walks at once can gain on this machine at all:
//
//   zrcc_bench.exe --walk <library> plain|fast <part> <parts> <start>
//
// walks every game whose index modulo <parts> is <part>, with the plain
// reference walk or the program's own, beginning when the clock reaches
// <start> (seconds since 1970), and prints when it began and ended, in those
// seconds, and the bytes it counted.
//
// A third mode times, alternating within one run, what one walk of every
// game costs as the refresh makes it, with and without the reading of the
// game's own files (its upscalers and anti-cheat markers), and prints the
// medians and the ratios:
//
//   zrcc_bench.exe --walk-facts <library> [rounds]
//
// A fourth mode shows how the window answers while Copy keeps aside a large
// file of the game's that the package replaces (3 GiB by default): the
// backup as Copy makes it, in its job, and, for reference in the same run,
// the same backup on the window's thread, as it was once made:
//
//   zrcc_bench.exe --copy-backup <scratch folder> [GiB]
//
// A fifth mode times, on the UI thread, how long a click on a header keeps
// it busy: the rows of <games> games (made up, no disk) put in order by the
// path, the size and the name, each way, and through a filter:
//
//   zrcc_bench.exe --sort <games> [rounds]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench_timing.h"
#include "core/catalogue.h"
#include "core/exe_match.h"
#include "core/game_list_file.h"
#include "core/mod_rules.h"
#include "core/size_text.h"
#include "deploy/deployment.h"
#include "deploy/exe_detection.h"
#include "deploy/folder_size.h"
#include "deploy/game_file_scan.h"
#include "deploy/mod_state.h"
#include "deploy/version_reader.h"
#include "discovery/folder_intake.h"
#include "helpers/data_file.h"
#include "helpers/game_rows.h"
#include "helpers/loader.h"
#include "helpers/refresh_pool.h"
#include "platform/background_job.h"
#include "platform/app_folder.h"
#include "core/owner_thread.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "platform/list_view.h"
#include "ui/game_list_pane.h"
#include "ui/notices.h"
#include "win/hidden_list_window.h"

namespace {

using namespace zrcc;

// ---- The reference: refreshing as first written --------------------------

uint64_t ReferenceFolderSize(const wchar_t* folder) {
  wchar_t pattern[MAX_PATH];
  const size_t length = std::wcslen(folder);
  const wchar_t* format = length && folder[length - 1] == L'\\' ? L"%ls*" : L"%ls\\*";
  if (std::swprintf(pattern, MAX_PATH, format, folder) < 0) return 0;
  WIN32_FIND_DATAW data{};
  const HANDLE find = FindFirstFileW(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  uint64_t sum = 0;
  do {
    if (std::wcscmp(data.cFileName, L".") == 0 || std::wcscmp(data.cFileName, L"..") == 0) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      wchar_t sub[MAX_PATH];
      if (std::swprintf(sub, MAX_PATH, L"%ls\\%ls", folder, data.cFileName) >= 0) sum += ReferenceFolderSize(sub);
    } else {
      sum += (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return sum;
}

void ReferenceCollectExecutables(const std::wstring& folder, std::vector<ExecutableCandidate>& list) {
  std::wstring dir = folder;
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  WIN32_FIND_DATAW data{};
  const HANDLE find = FindFirstFileW((dir + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    if (std::wcscmp(data.cFileName, L".") == 0 || std::wcscmp(data.cFileName, L"..") == 0) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ReferenceCollectExecutables(dir + data.cFileName, list);
    } else if (IsExeName(data.cFileName)) {
      ExecutableCandidate candidate{data.cFileName, folder, {}};
      candidate.productName = ReadProductName(CandidateFullPath(candidate));
      list.push_back(std::move(candidate));
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReferenceRefresh(Game& game, bool forceDetect) {
  if (!IsDirectory(game.path)) return false;
  if (forceDetect || (!game.exeFolder.empty() && !IsDirectory(ExeFolderPath(game)))) {
    std::vector<ExecutableCandidate> candidates;
    ReferenceCollectExecutables(game.path, candidates);
    const auto chosen = ChooseExecutable(game.path, candidates);
    game.exeFolder = chosen ? RelativeExeFolder(CandidateFullPath(candidates[*chosen]), game.path) : L"";
    game.name = chosen ? candidates[*chosen].productName : L"";
  }
  game.sizeText = FormatSizeText(ReferenceFolderSize(game.path.c_str()));
  DetectModState(game);
  return true;
}

// ---- A hidden main window with the real list view -------------------------

// The hidden game list of the tests, which the loader fills; set up in wmain.
test::HiddenListWindow* gWindow = nullptr;

int RowCount() { return ListRowCount(gWindow->list()); }

// ---- Timing ----------------------------------------------------------------

using bench::Median;
using bench::Now;

// ---- Responsiveness ---------------------------------------------------------

// How the window answers while a job runs: a thread sends WM_NULL to the
// main window every 10 ms and times each round trip, as Windows does before
// it calls a window "Not Responding".
struct Responsiveness {
  double longestMs = 0;
  double p99Ms = 0;
  double firstRowSeconds = -1;  // from the start until a row is shown
};

class StallProbe {
 public:
  explicit StallProbe(double start) : start_(start), thread_([this] { Run(); }) {}
  ~StallProbe() { End(); }
  // Ends the probe while the calling thread, the window's, answers its
  // last message: for a probe of work done on the window's thread itself.
  void StopPumping() {
    stop_ = true;
    while (!finished_) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(1);
    }
  }
  // Ends the probe and returns what it saw.
  Responsiveness Finish() {
    End();
    std::sort(samples_.begin(), samples_.end());
    Responsiveness r;
    if (!samples_.empty()) {
      r.longestMs = samples_.back();
      r.p99Ms = samples_[std::min(samples_.size() - 1, samples_.size() * 99 / 100)];
    }
    r.firstRowSeconds = firstRow_;
    return r;
  }

 private:
  void End() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  void Run() {
    while (!stop_) {
      const double sent = Now();
      DWORD_PTR result = 0;
      SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
      samples_.push_back((Now() - sent) * 1000.0);
      // The rows are inserted while the UI thread carries out the job's calls,
      // which its message loop never sees: the list itself is asked.
      if (firstRow_ < 0) {
        DWORD_PTR rows = 0;
        SendMessageTimeoutW(list_, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 60000, &rows);
        if (rows > 0) firstRow_ = Now() - start_;
      }
      Sleep(10);
    }
    finished_ = true;
  }
  const double start_;
  // Handles only: the probe never touches the window's state.
  const HWND window_ = gWindow->window();
  const HWND list_ = gWindow->list();
  double firstRow_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::vector<double> samples_;
  std::thread thread_;
};

// Runs the program's kind of message loop until the job has ended.
double PumpUntilJobEnds(double start, int endedBefore) {
  MSG message;
  while (gWindow->jobsEnded() == endedBefore && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return Now() - start;
}

// (a): the real loader, with the program's own kind of message loop.
double TimeFullLoad(Responsiveness& seen) {
  const int ended = gWindow->jobsEnded();
  const double start = Now();
  StallProbe probe(start);
  if (!LaunchAsyncLoadData(gWindow->pane())) return -1;
  const double seconds = PumpUntilJobEnds(start, ended);
  seen = probe.Finish();
  return seconds;
}

// (b): every game of data.ini refreshed in turn, the plain way.
using SizeRows = std::vector<std::pair<std::wstring, std::wstring>>;  // path, size text; sorted

double TimeReference(const std::vector<GameListEntry>& entries, SizeRows& sizes) {
  const double start = Now();
  sizes.clear();
  for (const GameListEntry& entry : entries) {
    Game game;
    game.path = entry.path;
    game.exeFolder = entry.exeFolder;
    game.name = entry.name;
    if (ReferenceRefresh(game, false)) sizes.emplace_back(game.path, game.sizeText);
  }
  const double seconds = Now() - start;
  std::sort(sizes.begin(), sizes.end());
  return seconds;
}

// (c): "Add Dir" of the library's steamapps folder into an empty list, in
// the background as the command runs it.
double TimeAddDir(const std::wstring& library, Responsiveness& seen) {
  ClearGames();
  ClearGameRows(gWindow->list());
  // The add ends by saving the list it made: into a folder of its own, never
  // over the list that (a) loads.
  const std::wstring listFolder = library + L"\\add-dir-list";
  CreateDirectoryW(listFolder.c_str(), nullptr);
  SetAppFolderForTesting(listFolder);
  const int ended = gWindow->jobsEnded();
  const double start = Now();
  StallProbe probe(start);
  if (!LaunchAsyncAddGameFolder(gWindow->pane(), library + L"\\steamapps")) return -1;
  const double seconds = PumpUntilJobEnds(start, ended);
  seen = probe.Finish();
  SetAppFolderForTesting(library);
  return seconds;
}

// The worst of several rounds: the longest stall and the latest first row.
void KeepWorst(Responsiveness& worst, const Responsiveness& round) {
  worst.longestMs = std::max(worst.longestMs, round.longestMs);
  worst.p99Ms = std::max(worst.p99Ms, round.p99Ms);
  worst.firstRowSeconds = std::max(worst.firstRowSeconds, round.firstRowSeconds);
}

SizeRows RowSizes() {
  SizeRows sizes;
  for (int i = 0; i < RowCount(); ++i) sizes.emplace_back(ListCellText(gWindow->list(), i, 0), ListCellText(gWindow->list(), i, 1));
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

// Clears `same` when `rows` differ from the reference, naming the first
// difference the first time.
void NoteSizesDiffer(bool& same, const char* which, const SizeRows& rows, const SizeRows& reference) {
  if (rows == reference) return;
  if (same) {
    size_t i = 0;
    while (i < rows.size() && i < reference.size() && rows[i] == reference[i]) ++i;
    const auto side = [i](const SizeRows& sizes) {
      return i < sizes.size() ? sizes[i].first + L" " + sizes[i].second : std::wstring(L"(none)");
    };
    std::printf("%s differs from (b) at %zu of %zu rows: %ls against %ls\n", which, i, rows.size(), side(rows).c_str(),
                side(reference).c_str());
  }
  same = false;
}

// ---- Walks side by side ---------------------------------------------------

// Seconds since 1970 by the system clock, which all processes share.
double UnixNow() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  const uint64_t ticks = (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;  // 100 ns since 1601
  return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;
}

int RunWalkPart(const std::wstring& library, bool fast, int part, int parts, double start) {
  SetAppFolderForTesting(library);
  BindOwnerThread();
  std::wstring text;
  if (parts < 1 || part < 0 || part >= parts || !ReadDataFileText(text)) return 2;
  const std::vector<GameListEntry> entries = ParseGameListText(text);
  while (UnixNow() < start) Sleep(1);
  const double began = UnixNow();
  uint64_t total = 0;
  for (size_t i = static_cast<size_t>(part); i < entries.size(); i += static_cast<size_t>(parts)) {
    total += fast ? MeasureFolderSize(entries[i].path) : ReferenceFolderSize(entries[i].path.c_str());
  }
  std::printf("%.3f %.3f %llu\n", began, UnixNow(), static_cast<unsigned long long>(total));
  return 0;
}

// The four walks a refresh may make of every game: the size alone (a listed
// game), the size and the executables (detection), and both again with the
// game's own files read in the same walk.
int TimeWalkFacts(const std::wstring& library, int rounds) {
  BindOwnerThread();  // the one thread of this mode reads data.ini as the window's would
  SetAppFolderForTesting(library);
  std::wstring text;
  if (!ReadDataFileText(text)) return 2;
  const std::vector<GameListEntry> entries = ParseGameListText(text);
  const auto timed = [&entries](auto walk) {
    const double began = bench::Now();
    uint64_t total = 0;
    for (const GameListEntry& entry : entries) total += walk(entry.path);
    return std::pair{bench::Now() - began, total};
  };
  const auto sizeOnly = [](const std::wstring& path) { return MeasureFolderSize(path); };
  const auto detect = [](const std::wstring& path) {
    std::vector<ExecutableCandidate> list;
    return CollectExecutablesAndMeasure(path, list);
  };
  size_t upscalers = 0, antiCheats = 0;
  const auto sizeFacts = [&](const std::wstring& path) {
    const GameFolderWalk walk = WalkGameFolder(path, false);
    upscalers += walk.gameFiles.upscalers.size();
    antiCheats += walk.gameFiles.antiCheats.size();
    return walk.size;
  };
  const auto detectFacts = [](const std::wstring& path) { return WalkGameFolder(path, true).size; };
  std::vector<double> times[4];
  uint64_t totals[4] = {};
  for (int round = 0; round <= rounds; ++round) {  // round 0 warms the cache, untimed
    const std::pair<double, uint64_t> results[4] = {timed(sizeOnly), timed(sizeFacts), timed(detect),
                                                    timed(detectFacts)};
    for (int kind = 0; kind < 4; ++kind) {
      if (round > 0) times[kind].push_back(results[kind].first);
      totals[kind] = results[kind].second;
    }
  }
  std::printf("games: %zu; bytes equal in all four walks: %s; per round %zu upscaler files, %zu anti-cheat systems\n",
              entries.size(), totals[0] == totals[1] && totals[1] == totals[2] && totals[2] == totals[3] ? "yes" : "NO",
              upscalers / static_cast<size_t>(rounds + 1), antiCheats / static_cast<size_t>(rounds + 1));
  const char* names[4] = {"size", "size + game files", "size + executables", "size + executables + game files"};
  for (int kind = 0; kind < 4; ++kind) {
    std::printf("  %-34s %8.3f s (median of %d)\n", names[kind], bench::Median(times[kind]), rounds);
  }
  std::printf("  game files cost: %+.1f %% without executables, %+.1f %% with them\n",
              100.0 * (bench::Median(times[1]) / bench::Median(times[0]) - 1),
              100.0 * (bench::Median(times[3]) / bench::Median(times[2]) - 1));
  return 0;
}


// ---- Copy's backup of a large file -------------------------------------------

// Writes `bytes` of changing data to `path` once; a file already of that size
// is kept, so that a second run finds the same file.
bool MakeLargeFile(const std::wstring& path, uint64_t bytes) {
  WIN32_FILE_ATTRIBUTE_DATA seen{};
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &seen) &&
      ((static_cast<uint64_t>(seen.nFileSizeHigh) << 32) | seen.nFileSizeLow) == bytes) {
    return true;
  }
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<uint32_t> block(2u << 20);  // 8 MiB
  bool written = true;
  for (uint64_t done = 0, n = 0; written && done < bytes; ++n) {
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint32_t>((n * block.size() + i) * 2654435761u);
    const DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(block.size() * 4, bytes - done));
    DWORD wrote = 0;
    written = WriteFile(file, block.data(), chunk, &wrote, nullptr) && wrote == chunk;
    done += chunk;
  }
  CloseHandle(file);
  return written;
}

bool WriteSmallFile(const std::wstring& path, const std::string& text) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) && wrote == text.size();
  CloseHandle(file);
  return ok;
}

// What the copy left in the game: its backup folder and its record. The
// game's own file is still in place (nothing was copied over it).
void ForgetCopy(const std::wstring& game) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(game) / kBackupFolderName, ignored);
  DeleteFileW((game + L"\\" + kRecordFileName).c_str());
}

int TimeCopyBackup(const std::wstring& scratch, double gib) {
  const std::wstring package = scratch + L"\\package", game = scratch + L"\\game";
  for (const std::wstring& folder : {scratch, package, game}) CreateDirectoryW(folder.c_str(), nullptr);
  const uint64_t bytes = static_cast<uint64_t>(gib * 1024 * 1024 * 1024);
  std::printf("== Copy's backup of a %.1f GiB file of the game's that the package replaces\n", gib);
  std::fflush(stdout);
  if (!WriteSmallFile(package + L"\\ZandRivell.dll", "MZ the package's DLL") ||
      !WriteSmallFile(package + L"\\big.pak", "the package's own big.pak") || !MakeLargeFile(game + L"\\big.pak", bytes)) {
    std::printf("  could not lay out the package and the game in %ls\n", scratch.c_str());
    return 1;
  }
  ForgetCopy(game);
  // As Copy makes it: planned and kept aside in the job, the window's
  // thread free for its messages.
  const int ended = gWindow->jobsEnded();
  DeployProblem inJob;
  double start = Now();
  StallProbe jobProbe(start);
  if (!StartBackgroundJob([&](JobContext&) {
        DeploymentPlan plan;
        inJob = PrepareDeployment(package, game, plan);
      })) {
    return 1;
  }
  const double jobSeconds = PumpUntilJobEnds(start, ended);
  const Responsiveness job = jobProbe.Finish();
  ForgetCopy(game);
  // The reference: the same work on the window's thread.
  start = Now();
  StallProbe threadProbe(start);
  DeploymentPlan plan;
  const DeployProblem onThread = PrepareDeployment(package, game, plan);
  const double threadSeconds = Now() - start;
  threadProbe.StopPumping();
  const Responsiveness thread = threadProbe.Finish();
  ForgetCopy(game);
  std::printf("  in Copy's job: %.2f s; the window's longest answer %.1f ms, 99th percentile %.1f ms%s\n", jobSeconds,
              job.longestMs, job.p99Ms, inJob ? " (the backup failed)" : "");
  std::printf("  on the window's thread (reference): %.2f s; longest answer %.1f ms, 99th percentile %.1f ms%s\n",
              threadSeconds, thread.longestMs, thread.p99Ms, onThread ? " (the backup failed)" : "");
  std::printf("  longest answer in the job / on the window's thread = %.3f\n",
              thread.longestMs > 0 ? job.longestMs / thread.longestMs : 0.0);
  return 0;
}

// Sorting is a view's change on the UI thread: its cost is a stall of the
// window, so it is printed in milliseconds.
int TimeSorting(int count, int rounds) {
  test::HiddenListWindow window;
  for (int i = 0; i < count; ++i) {
    Game game;
    // Names with numbers in them, compared as Explorer compares them.
    game.path = L"D:\\Library " + std::to_wstring(i % 37) + L"\\Game " + std::to_wstring((i * 7919) % count);
    game.name = i % 5 == 0 ? L"" : L"Title " + std::to_wstring((i * 104729) % 1000);
    game.sizeBytes = (static_cast<uint64_t>(i) * 2654435761u) % (uint64_t{1} << 36);
    game.sizeText = FormatSizeText(*game.sizeBytes);
    AddGame(game);
  }
  ShowGameRows(window.list(), GameCount());
  GameRows& rows = window.pane().rows();
  struct Step {
    const char* name;
    RowOrder order;
  } steps[] = {{"path", {kColumnPath, false}}, {"path, reversed", {kColumnPath, true}},
               {"size", {kColumnSize, false}}, {"size, reversed", {kColumnSize, true}},
               {"name", {kColumnName, false}}, {"name, reversed", {kColumnName, true}}};
  std::printf("sorting %d rows on the UI thread (median of %d):\n", rows.Shown(), rounds);
  for (const Step& step : steps) {
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
      rows.SetView({}, nullptr);
      const double began = Now();
      rows.SetView(step.order, nullptr);
      times.push_back(Now() - began);
    }
    std::printf("  by %-16s %8.2f ms\n", step.name, 1000 * Median(times));
  }
  std::vector<double> times;
  const ListChoice choice{{kColumnName, false}, GameFilter::All, L"title 9"};
  for (int round = 0; round < rounds; ++round) {
    rows.SetView({}, nullptr);
    const double began = Now();
    window.pane().ShowAsChosen(choice);
    times.push_back(Now() - began);
  }
  std::printf("  filtered by name (%d rows left), sorted by name %8.2f ms\n", rows.Shown(), 1000 * Median(times));
  ClearGameRows(window.list());
  ClearGames();
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if ((argc == 3 || argc == 4) && std::wcscmp(argv[1], L"--sort") == 0) {
    return TimeSorting(std::max(1, _wtoi(argv[2])), argc == 4 ? std::max(1, _wtoi(argv[3])) : 9);
  }
  if ((argc == 3 || argc == 4) && std::wcscmp(argv[1], L"--walk-facts") == 0) {
    return TimeWalkFacts(argv[2], argc == 4 ? std::max(1, _wtoi(argv[3])) : 9);
  }
  if (argc == 7 && std::wcscmp(argv[1], L"--walk") == 0) {
    return RunWalkPart(argv[2], std::wcscmp(argv[3], L"fast") == 0, _wtoi(argv[4]), _wtoi(argv[5]),
                       _wtof(argv[6]));
  }
  if ((argc == 3 || argc == 4) && std::wcscmp(argv[1], L"--copy-backup") == 0) {
    SetMessageBoxHandler([](HWND, const std::wstring&, const std::wstring&, UINT) { return IDOK; });
    test::HiddenListWindow window;
    gWindow = &window;
    return TimeCopyBackup(argv[2], argc == 4 ? std::max(0.01, _wtof(argv[3])) : 3.0);
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: zrcc_bench.exe <library folder> [rounds]\n");
    return 2;
  }
  std::wstring library = argv[1];
  while (library.size() > 3 && library.back() == L'\\') library.pop_back();
  const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;

  SetAppFolderForTesting(library);  // the loader reads the library's data.ini
  int boxes = 0;
  SetMessageBoxHandler([&boxes](HWND, const std::wstring&, const std::wstring&, UINT) {
    ++boxes;
    return IDOK;
  });
  test::HiddenListWindow window;
  gWindow = &window;

  std::wstring text;
  if (!ReadDataFileText(text)) {
    std::fprintf(stderr, "no readable data.ini in %ls\n", library.c_str());
    return 1;
  }
  const std::vector<GameListEntry> entries = ParseGameListText(text);

  // One untimed pass of each, so that every round finds the same warm cache.
  SizeRows referenceSizes;
  Responsiveness loadSeen, addSeen, roundSeen;
  TimeReference(entries, referenceSizes);
  TimeFullLoad(roundSeen);
  TimeAddDir(library, roundSeen);

  std::vector<double> load, reference, addDir;
  bool sameSizes = true;
  int loadRows = 0, addRows = 0;
  for (int round = 0; round < rounds; ++round) {
    load.push_back(TimeFullLoad(roundSeen));
    KeepWorst(loadSeen, roundSeen);
    loadRows = RowCount();
    NoteSizesDiffer(sameSizes, "(a)", RowSizes(), referenceSizes);
    reference.push_back(TimeReference(entries, referenceSizes));
    addDir.push_back(TimeAddDir(library, roundSeen));
    KeepWorst(addSeen, roundSeen);
    addRows = RowCount();
    NoteSizesDiffer(sameSizes, "(c)", RowSizes(), referenceSizes);
    std::printf("round %d: (a) %.3f s  (b) %.3f s  (c) %.3f s\n", round + 1, load.back(), reference.back(),
                addDir.back());
    std::fflush(stdout);
  }

  const double a = Median(load), b = Median(reference), c = Median(addDir);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  K32GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  const double mib = 1024.0 * 1024.0;

  std::printf("\ngames in data.ini: %zu; rows after (a): %d, after (c): %d; size texts equal to (b): %s\n",
              entries.size(), loadRows, addRows, sameSizes ? "yes" : "NO");
  std::printf("refresh worker threads: %d; message boxes: %d\n", RefreshWorkerCount(), boxes);
  std::printf("median of %d rounds:\n", rounds);
  std::printf("  (a) full load through the loader   %8.3f s\n", a);
  std::printf("  (b) sequential plain reference     %8.3f s\n", b);
  std::printf("  (c) Add Dir of the whole library   %8.3f s\n", c);
  std::printf("  a/b = %.2f   (target at most 0.50)\n", a / b);
  std::printf("  c/b = %.2f   (target at most 0.60)\n", c / b);
  std::printf("responsiveness, worst of %d rounds (WM_NULL round trips every 10 ms):\n", rounds);
  std::printf("  (a) longest stall %6.1f ms, 99th percentile %6.1f ms, first row after %.3f s\n",
              loadSeen.longestMs, loadSeen.p99Ms, loadSeen.firstRowSeconds);
  std::printf("  (c) longest stall %6.1f ms, 99th percentile %6.1f ms, first row after %.3f s\n",
              addSeen.longestMs, addSeen.p99Ms, addSeen.firstRowSeconds);
  std::printf("  (targets: longest stall at most 100 ms, first row within 0.5 s)\n");
  std::printf("peak working set %.1f MiB, peak private bytes %.1f MiB\n",
              static_cast<double>(memory.PeakWorkingSetSize) / mib,
              static_cast<double>(memory.PeakPagefileUsage) / mib);
  ClearGames();
  return 0;
}
