#include "core/steam_appinfo.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "core/found_games.h"
#include "core/text.h"

namespace zrcc {

namespace {

// The upper three bytes of the magic are the format's; the lowest is its
// version.
constexpr uint32_t kMagicBase = 0x07564400;
constexpr uint32_t kFirstVersion = 39;
constexpr uint32_t kStringTableVersion = 41;
constexpr uint32_t kLastVersion = 41;
// Before the key-values of an entry: info state, last update, access token,
// SHA-1 of the text form, change number; from version 40 the SHA-1 of the
// binary form too.
constexpr uint32_t kEntryPrefix39 = 4 + 4 + 8 + 20 + 4;
constexpr uint32_t kEntryPrefix40 = kEntryPrefix39 + 20;
// Real entries nest a handful of levels; deeper ones are refused before
// they cost memory.
constexpr size_t kMaxDepth = 64;

enum KvType : uint8_t {
  kObject = 0x00,
  kString = 0x01,
  kInt32 = 0x02,
  kFloat32 = 0x03,
  kPointer = 0x04,
  kWideString = 0x05,
  kColour = 0x06,
  kUint64 = 0x07,
  kEnd = 0x08,
  kInt64 = 0x0A,
  kAlternateEnd = 0x0B,
};

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t Le64(const uint8_t* p) { return Le32(p) | (static_cast<uint64_t>(Le32(p + 4)) << 32); }

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// One launch entry as far as choosing it goes.
struct LaunchEntry {
  std::string index;  // its key below "launch"
  std::string executable, type, oslist, osarch, betakey;
};

// Bytes of one entry's key-values, read forwards; every read is checked.
class Cursor {
 public:
  Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return at_ >= size_; }
  bool Byte(uint8_t& out) {
    if (at_ >= size_) return false;
    out = data_[at_++];
    return true;
  }
  bool Skip(size_t n) {
    if (n > size_ - at_) return false;
    at_ += n;
    return true;
  }
  bool U32(uint32_t& out) {
    if (4 > size_ - at_) return false;
    out = Le32(data_ + at_);
    at_ += 4;
    return true;
  }
  // A NUL-terminated text; false when the entry ends first.
  bool Text(std::string_view& out) {
    const void* nul = std::memchr(data_ + at_, 0, size_ - at_);
    if (!nul) return false;
    const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - (data_ + at_));
    out = std::string_view(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length + 1;
    return true;
  }
  // A NUL-terminated UTF-16 text, passed over.
  bool SkipWideText() {
    while (2 <= size_ - at_) {
      const bool nul = data_[at_] == 0 && data_[at_ + 1] == 0;
      at_ += 2;
      if (nul) return true;
    }
    return false;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// What an entry's key-values say: the install folder's name and the launch
// entries. Walked without recursion: `path` holds the lower-cased keys of
// the objects the walk is inside.
class EntryReader {
 public:
  EntryReader(const std::vector<std::string_view>* strings) : strings_(strings) {}

  bool Read(Cursor cursor) {
    path_.clear();
    while (true) {
      uint8_t type = 0;
      if (!cursor.Byte(type)) return path_.empty();  // the last end marker may be left out
      if (type == kEnd || type == kAlternateEnd) {
        if (path_.empty()) return true;
        path_.pop_back();
        continue;
      }
      std::string_view key;
      if (!Key(cursor, key)) return false;
      switch (type) {
        case kObject:
          if (path_.size() >= kMaxDepth) return false;
          path_.push_back(LowerAscii(key));
          break;
        case kString: {
          std::string_view value;
          if (!cursor.Text(value)) return false;
          Value(LowerAscii(key), value);
          break;
        }
        case kInt32: {
          uint32_t value = 0;
          if (!cursor.U32(value)) return false;
          Value(LowerAscii(key), std::to_string(static_cast<int32_t>(value)));
          break;
        }
        case kFloat32: case kPointer: case kColour:
          if (!cursor.Skip(4)) return false;
          break;
        case kUint64: case kInt64:
          if (!cursor.Skip(8)) return false;
          break;
        case kWideString:
          if (!cursor.SkipWideText()) return false;
          break;
        default: return false;
      }
    }
  }

  std::string installDir;
  std::vector<LaunchEntry> launches;

 private:
  bool Key(Cursor& cursor, std::string_view& key) {
    if (!strings_) return cursor.Text(key);
    uint32_t index = 0;
    if (!cursor.U32(index) || index >= strings_->size()) return false;
    key = (*strings_)[index];
    return true;
  }

  bool PathIs(std::initializer_list<std::string_view> keys) const {
    return path_.size() == keys.size() && std::equal(keys.begin(), keys.end(), path_.begin());
  }

  LaunchEntry& Launch(const std::string& index) {
    for (LaunchEntry& entry : launches) {
      if (entry.index == index) return entry;
    }
    launches.push_back({index, {}, {}, {}, {}, {}});
    return launches.back();
  }

  void Value(const std::string& key, std::string_view value) {
    if (path_.size() < 2 || path_[0] != "appinfo" || path_[1] != "config") return;
    if (path_.size() == 2) {
      if (key == "installdir") installDir = value;
      return;
    }
    if (path_[2] != "launch" || path_.size() < 4 || path_.size() > 5) return;
    LaunchEntry& entry = Launch(path_[3]);
    if (path_.size() == 4) {
      if (key == "executable") entry.executable = value;
      if (key == "type") entry.type = value;
    } else if (path_[4] == "config") {
      if (key == "oslist") entry.oslist = value;
      if (key == "osarch") entry.osarch = value;
      if (key == "betakey") entry.betakey = value;
    }
  }

  const std::vector<std::string_view>* strings_;
  std::vector<std::string> path_;
};

std::wstring Decoded(std::string_view text) {
  std::wstring wide;
  return DecodeUtf8Strict(text, wide) ? wide : std::wstring();
}

bool IsForWindows(std::string_view oslist) {
  bool any = false;
  size_t start = 0;
  while (start <= oslist.size()) {
    const size_t comma = std::min(oslist.find(',', start), oslist.size());
    const std::wstring part(TrimBlanks(Decoded(oslist.substr(start, comma - start))));
    if (!part.empty()) any = true;
    if (LowerKey(part) == L"windows") return true;
    start = comma + 1;
  }
  return !any;  // no system named: every system
}

// Lower ranks come first; nothing for an entry a plain "Play" never starts.
std::optional<int> Rank(const LaunchEntry& entry, const std::string& branch) {
  const std::string type = LowerAscii(entry.type);
  if (!(type.empty() || type == "default" || type == "none") || !IsForWindows(entry.oslist)) return std::nullopt;
  int rank = 0;
  if (!entry.betakey.empty()) {
    if (entry.betakey != branch) return std::nullopt;  // another branch's executable
  } else if (!branch.empty()) {
    rank += 10;  // the branch's own entry before the default one
  }
  const std::string arch = LowerAscii(entry.osarch);
  rank += arch == "64" ? 0 : arch == "32" ? 2 : 1;
  return rank;
}

std::vector<std::wstring> ChosenExecutables(const std::vector<LaunchEntry>& launches, const std::wstring& branchWide) {
  std::string branch = EncodeUtf8(branchWide);
  if (branch == "public") branch.clear();
  std::vector<std::pair<int, const LaunchEntry*>> ranked;
  for (const LaunchEntry& entry : launches) {
    if (const std::optional<int> rank = Rank(entry, branch)) ranked.emplace_back(*rank, &entry);
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::wstring> executables;
  for (const auto& [rank, entry] : ranked) {
    const std::optional<std::wstring> below = LauncherExecutableBelow(L"", Decoded(entry->executable));
    if (!below) continue;
    const bool known = std::any_of(executables.begin(), executables.end(),
                                   [&](const std::wstring& e) { return LowerKey(e) == LowerKey(*below); });
    if (!known) executables.push_back(*below);
  }
  return executables;
}

// The string table of version 41: a count, then that many NUL-terminated
// texts, views into `bytes`.
bool ReadStringTable(const std::vector<uint8_t>& bytes, std::vector<std::string_view>& strings) {
  if (bytes.size() < 4) return false;
  const uint32_t count = Le32(bytes.data());
  if (count > bytes.size()) return false;  // every text takes a byte at least
  strings.reserve(count);
  Cursor cursor(bytes.data() + 4, bytes.size() - 4);
  for (uint32_t i = 0; i < count; ++i) {
    std::string_view text;
    if (!cursor.Text(text)) return false;
    strings.push_back(text);
  }
  return true;
}

}  // namespace

AppInfoLaunches ReadAppInfoLaunches(const AppInfoReadAt& read, uint64_t fileSize,
                                    const std::unordered_map<uint32_t, std::wstring>* wanted) {
  AppInfoLaunches result;
  uint8_t header[16] = {};
  if (fileSize > kMaxAppInfoBytes || fileSize < 8 || !read(0, header, 8)) return result;
  const uint32_t magic = Le32(header);
  const uint32_t version = magic - kMagicBase;
  if ((magic & 0xFFFFFF00u) != kMagicBase || version < kFirstVersion || version > kLastVersion) return result;

  uint64_t at = 8;
  uint64_t entriesEnd = fileSize;
  std::vector<uint8_t> tableBytes;
  std::vector<std::string_view> strings;
  if (version >= kStringTableVersion) {
    if (fileSize < 16 || !read(8, header + 8, 8)) return result;
    const uint64_t tableAt = Le64(header + 8);
    if (tableAt < 16 || tableAt > fileSize) return result;
    tableBytes.resize(static_cast<size_t>(fileSize - tableAt));
    if ((!tableBytes.empty() && !read(tableAt, tableBytes.data(), tableBytes.size())) ||
        !ReadStringTable(tableBytes, strings)) {
      return result;
    }
    at = 16;
    entriesEnd = tableAt;
  }
  result.understood = true;
  const uint32_t prefix = version >= 40 ? kEntryPrefix40 : kEntryPrefix39;

  std::vector<uint8_t> entry;
  while (true) {
    uint8_t head[8] = {};
    if (entriesEnd - at < 4 || !read(at, head, 4)) return result;  // cut short before the end marker
    const uint32_t appId = Le32(head);
    if (appId == 0) break;
    if (entriesEnd - at < 8 || !read(at + 4, head + 4, 4)) return result;
    const uint32_t size = Le32(head + 4);
    if (size < prefix || size > kMaxAppInfoEntryBytes || size > entriesEnd - at - 8) return result;
    const uint64_t next = at + 8 + size;
    const std::wstring* branch = nullptr;
    if (wanted) {
      const auto found = wanted->find(appId);
      branch = found == wanted->end() ? nullptr : &found->second;
    }
    if (!wanted || branch) {
      entry.resize(size);
      if (!read(at + 8, entry.data(), entry.size())) return result;
      EntryReader reader(version >= kStringTableVersion ? &strings : nullptr);
      if (!reader.Read(Cursor(entry.data() + prefix, size - prefix))) return result;
      result.apps.push_back({appId, Decoded(reader.installDir),
                             ChosenExecutables(reader.launches, branch ? *branch : std::wstring())});
    }
    at = next;
  }
  result.complete = true;
  return result;
}

AppInfoLaunches ReadAppInfoLaunches(std::string_view bytes, const std::unordered_map<uint32_t, std::wstring>* wanted) {
  const AppInfoReadAt read = [bytes](uint64_t offset, void* out, size_t length) {
    if (offset > bytes.size() || length > bytes.size() - offset) return false;
    std::memcpy(out, bytes.data() + offset, length);
    return true;
  };
  return ReadAppInfoLaunches(read, bytes.size(), wanted);
}

}  // namespace zrcc
