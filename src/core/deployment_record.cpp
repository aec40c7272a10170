#include "core/deployment_record.h"

#include <algorithm>
#include <unordered_set>

#include "core/paths.h"
#include "core/text.h"

namespace zrcc {

namespace {

constexpr std::wstring_view kFirstFormatLine = L"Format=1";
constexpr std::wstring_view kFormatLine = L"Format=2";
// The system's limits: a whole path of the long form, one name.
constexpr size_t kMaxPathLength = 32000;
constexpr size_t kMaxNameLength = 255;

constexpr char kHeader[] =
    "; ZandRivell Control Center: what \"Copy Zandrivell\" wrote into this folder, so that\r\n"
    "; \"Undo Copy\" can take out exactly that and put back what it replaced.\r\n"
    "; One entry a line, paths below this folder:\r\n"
    ";   Written=<bytes>|<SHA-256>|<path>   a file the copy wrote, as it wrote it\r\n"
    ";   Planned=<bytes>|<SHA-256>|<path>   a file the copy began to write and was not seen to arrive\r\n"
    ";   Kept=<backup>|<bytes>|<SHA-256>|<path>\r\n"
    ";                                      what lay there before, kept in .zandrivell-backup\\<backup>\\<path>\r\n"
    ";   Made=<path>                        a folder the copy created\r\n"
    ";   End=<number of entries>            the last line: a record cut short lacks it\r\n"
    "; A record changed by hand so that it breaks these rules is ignored as a whole.\r\n";

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool AllDigits(std::wstring_view text) {
  if (text.empty()) return false;
  for (wchar_t c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

bool ParseCount(std::wstring_view text, uint64_t& value) {
  if (!AllDigits(text) || text.size() > 20) return false;
  value = 0;
  for (wchar_t c : text) {
    const uint64_t digit = static_cast<uint64_t>(c - L'0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

bool IsDigest(std::wstring_view text) {
  if (text.size() != 64) return false;
  for (wchar_t c : text) {
    if (!IsDigit(c) && !(c >= L'a' && c <= L'f')) return false;
  }
  return true;
}

// Characters no file name can hold; the colon would name a stream.
bool IsForbiddenInName(wchar_t c) {
  return static_cast<unsigned>(c) < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos;
}

std::wstring Quoted(std::wstring_view value) {
  constexpr size_t kShown = 60;
  std::wstring shown(value.substr(0, kShown));
  for (wchar_t& c : shown) {
    if (static_cast<unsigned>(c) < 0x20) c = L'?';
  }
  return L"\"" + shown + (value.size() > kShown ? L"...\"" : L"\"");
}

// Splits `value` at '|' into exactly `count` fields, the last one taking the
// rest (a path never holds '|').
bool SplitFields(std::wstring_view value, size_t count, std::vector<std::wstring_view>& fields) {
  fields.clear();
  for (size_t i = 0; i + 1 < count; ++i) {
    const size_t bar = value.find(L'|');
    if (bar == std::wstring_view::npos) return false;
    fields.push_back(value.substr(0, bar));
    value.remove_prefix(bar + 1);
  }
  fields.push_back(value);
  return true;
}

// Reads the entries of a decoded record; the caller adds nothing on failure.
class RecordReader {
 public:
  explicit RecordReader(std::wstring& problem) : problem_(problem) {}

  bool Read(std::wstring_view text, DeploymentRecord& record) {
    bool started = false;
    bool ended = false;
    size_t lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find(L'\n', start);
      if (end == std::wstring_view::npos) end = text.size();
      std::wstring_view line = text.substr(start, end - start);
      start = end + 1;
      ++lineNumber;
      line_ = lineNumber;
      if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
      if (line.empty() || line[0] == L';') continue;
      if (ended) return Fail(L"there is more after its end");
      if (!started) {
        if (line != kFormatLine && line != kFirstFormatLine) {
          return Fail(L"it does not start with " + std::wstring(kFormatLine));
        }
        firstFormat_ = line == kFirstFormatLine;
        started = true;
        continue;
      }
      const size_t eq = line.find(L'=');
      if (eq == std::wstring_view::npos) return Fail(L"it holds no entry");
      const std::wstring_view key = line.substr(0, eq);
      const std::wstring_view value = line.substr(eq + 1);
      if (key == L"End") {
        uint64_t count = 0;
        if (!ParseCount(value, count) || count != entries_) return Fail(L"the count of entries is wrong");
        ended = true;
        continue;
      }
      if (++entries_ > kMaxRecordEntries) return Fail(L"it holds too many entries");
      if (key == L"Written") {
        if (!ReadWritten(value, written_, record.written)) return false;
      } else if (key == L"Planned" && !firstFormat_) {
        if (!ReadWritten(value, planned_, record.planned)) return false;
      } else if (key == L"Kept") {
        if (!ReadKept(value, record)) return false;
      } else if (key == L"Made") {
        if (!CheckPath(value, made_)) return false;
        record.made.emplace_back(value);
      } else {
        return Fail(L"it holds an unknown entry " + Quoted(key));
      }
    }
    line_ = 0;
    if (!ended) return Fail(started ? L"it was cut short (no end line)" : L"it is empty");
    return true;
  }

 private:
  bool Fail(const std::wstring& why) {
    problem_ = line_ > 0 ? L"line " + std::to_wstring(line_) + L": " + why : why;
    return false;
  }

  bool CheckPath(std::wstring_view path, std::unordered_set<std::wstring>& seen) {
    if (const std::wstring reason = UnsafeRecordPathReason(path); !reason.empty()) {
      return Fail(L"the path " + Quoted(path) + L" " + reason);
    }
    if (!seen.insert(LowerKey(path)).second) return Fail(L"the path " + Quoted(path) + L" is listed twice");
    return true;
  }

  bool ReadWritten(std::wstring_view value, std::unordered_set<std::wstring>& seen, std::vector<WrittenFile>& files) {
    std::vector<std::wstring_view> fields;
    uint64_t size = 0;
    if (!SplitFields(value, 3, fields) || !ParseCount(fields[0], size) || !IsDigest(fields[1])) {
      return Fail(L"a written file is not given as size|SHA-256|path");
    }
    if (!CheckPath(fields[2], seen)) return false;
    files.push_back({std::wstring(fields[2]), size, std::wstring(fields[1])});
    return true;
  }

  // backup|path (the first format, or an original whose digest is not
  // known), or backup|size|SHA-256|path. A path never holds a bar, so the
  // bars tell the forms apart.
  bool ReadKept(std::wstring_view value, DeploymentRecord& record) {
    const size_t bars = static_cast<size_t>(std::count(value.begin(), value.end(), L'|'));
    const bool withDigest = !firstFormat_ && bars == 3;
    std::vector<std::wstring_view> fields;
    uint64_t size = 0;
    if (!SplitFields(value, withDigest ? 4 : 2, fields) || !IsBackupFolderName(fields[0]) ||
        (withDigest && (!ParseCount(fields[1], size) || !IsDigest(fields[2])))) {
      return Fail(L"a kept file is not given as backup|path or backup|size|SHA-256|path");
    }
    if (!CheckPath(fields.back(), kept_)) return false;
    KeptFile kept{std::wstring(fields[0]), std::wstring(fields.back()), 0, {}};
    if (withDigest) {
      kept.size = size;
      kept.sha256 = std::wstring(fields[2]);
    }
    record.kept.push_back(std::move(kept));
    return true;
  }

  std::wstring& problem_;
  size_t line_ = 0;
  uint64_t entries_ = 0;
  bool firstFormat_ = false;
  std::unordered_set<std::wstring> written_, planned_, kept_, made_;
};

}  // namespace

std::wstring UnsafeRecordPathReason(std::wstring_view path) {
  if (path.empty()) return L"is empty";
  if (path.size() > kMaxPathLength) return L"is too long";
  size_t start = 0;
  bool first = true;
  while (start <= path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    const std::wstring_view name = path.substr(start, end - start);
    start = end + 1;
    if (name.empty()) return first ? L"is not below the folder" : L"has an empty part";
    if (name == L"." || name == L"..") return L"leads outside the folder";
    for (wchar_t c : name) {
      if (IsForbiddenInName(c)) return L"holds a character no file name can hold";
    }
    if (name.size() > kMaxNameLength) return L"has a name that is too long";
    if (name.back() == L' ' || name.back() == L'.') return L"has a name ending in a blank or a dot";
    if (IsDeviceName(name)) return L"names a device";
    if (first && LowerKey(name) == kBackupFolderName) return L"lies in the backup folder";
    first = false;
  }
  return {};
}

std::wstring BackupFolderName(int year, int month, int day, int hour, int minute, int second, int sequence) {
  auto two = [](int v) { return std::wstring(v < 10 ? L"0" : L"") + std::to_wstring(v); };
  std::wstring year4 = std::to_wstring(year);
  while (year4.size() < 4) year4.insert(year4.begin(), L'0');
  std::wstring name = year4 + two(month) + two(day) + L"-" + two(hour) + two(minute) + two(second);
  if (sequence > 1) name += L"-" + std::to_wstring(sequence);
  return name;
}

bool IsBackupFolderName(std::wstring_view name) {
  if (name.size() < 15 || !AllDigits(name.substr(0, 8)) || name[8] != L'-' || !AllDigits(name.substr(9, 6))) {
    return false;
  }
  const std::wstring_view rest = name.substr(15);
  return rest.empty() || (rest.size() >= 2 && rest.size() <= 5 && rest[0] == L'-' && AllDigits(rest.substr(1)));
}

std::string FormatDeploymentRecord(const DeploymentRecord& record) {
  std::string bytes = kHeader;
  auto line = [&bytes](std::wstring_view text) {
    bytes += EncodeUtf8(text);
    bytes += "\r\n";
  };
  line(kFormatLine);
  for (const WrittenFile& file : record.written) {
    line(L"Written=" + std::to_wstring(file.size) + L"|" + file.sha256 + L"|" + file.path);
  }
  for (const WrittenFile& file : record.planned) {
    line(L"Planned=" + std::to_wstring(file.size) + L"|" + file.sha256 + L"|" + file.path);
  }
  // An original kept by an older program, whose copy is gone, stays without
  // its digest, in the older form.
  for (const KeptFile& file : record.kept) {
    line(L"Kept=" + file.backup + L"|" +
         (file.HasDigest() ? std::to_wstring(file.size) + L"|" + file.sha256 + L"|" : std::wstring()) + file.path);
  }
  for (const std::wstring& folder : record.made) line(L"Made=" + folder);
  line(L"End=" + std::to_wstring(record.EntryCount()));
  return bytes;
}

bool RecordWithinLimits(const DeploymentRecord& record, size_t bytes) {
  return bytes <= kMaxRecordBytes && record.EntryCount() <= kMaxRecordEntries;
}

std::optional<DeploymentRecord> ParseDeploymentRecord(std::string_view bytes, std::wstring& problem) {
  problem.clear();
  if (bytes.size() > kMaxRecordBytes) {
    problem = L"it is too large";
    return std::nullopt;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::wstring text;
  if (!DecodeUtf8Strict(bytes, text)) {
    problem = L"it is not UTF-8 text";
    return std::nullopt;
  }
  DeploymentRecord record;
  if (!RecordReader(problem).Read(text, record)) return std::nullopt;
  return record;
}

bool LiesInBackupFolder(std::wstring_view folder) {
  for (const std::wstring_view name : PathComponents(folder)) {
    if (LowerKey(name) == kBackupFolderName) return true;
  }
  return false;
}

}  // namespace zrcc
