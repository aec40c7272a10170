#include "core/game_list_file.h"

#include <cwctype>

#include "core/text.h"

namespace zrcc {

std::wstring FileSafeValue(std::wstring_view value) {
  std::wstring safe(value);
  for (wchar_t& c : safe) {
    if (static_cast<unsigned>(c) < 0x20 && c != L'\t') c = L' ';
  }
  return safe;
}

std::string FormatGameListFile(const std::vector<GameListEntry>& entries) {
  std::wstring text;
  for (size_t i = 0; i < entries.size(); ++i) {
    const GameListEntry& e = entries[i];
    text += L"[Line" + std::to_wstring(i) + L"]\r\n";
    text += L"Path=" + FileSafeValue(e.path) + L"\r\n";
    text += L"ExeFolder=" + FileSafeValue(e.exeFolder) + L"\r\n";
    text += L"Name=" + FileSafeValue(e.name) + L"\r\n\r\n";
  }
  return "\xEF\xBB\xBF" + EncodeUtf8(text);
}

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";

bool StartsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

// UTF-16 units as they stand, unpaired surrogates included: a path may hold
// any unit the file system takes.
bool DecodeUtf16(std::string_view bytes, bool bigEndian, std::wstring& text) {
  if (bytes.empty() || bytes.size() % 2 != 0) return false;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return true;
}

// The length of the UTF-8 sequence a lead byte starts; 0 for no lead byte.
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

bool DecodeGameListBytes(std::string_view bytes, std::wstring& text) {
  text.clear();
  if (StartsWith(bytes, kUtf16LittleMark) || StartsWith(bytes, kUtf16BigMark)) {
    const bool bigEndian = StartsWith(bytes, kUtf16BigMark);
    if (DecodeUtf16(bytes.substr(2), bigEndian, text)) return true;
    text.clear();
    return false;
  }
  if (StartsWith(bytes, kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  if (bytes.empty()) return false;
  return DecodeUtf8Strict(bytes, text);
}

bool HoldsNoGameListText(std::string_view bytes) {
  return bytes.empty() || bytes == kUtf8Mark || bytes == kUtf16LittleMark || bytes == kUtf16BigMark;
}

bool LooksLikeLocalCodePage(std::string_view bytes) {
  if (bytes.empty() || StartsWith(bytes, kUtf8Mark) || StartsWith(bytes, kUtf16LittleMark) ||
      StartsWith(bytes, kUtf16BigMark) || bytes.find('\0') != std::string_view::npos) {
    return false;
  }
  std::wstring ignored;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const size_t length = Utf8SequenceLength(static_cast<unsigned char>(bytes[i]));
    if (length > 0 && i + length <= bytes.size() && DecodeUtf8Strict(bytes.substr(i, length), ignored)) return false;
  }
  return true;
}

namespace {

// "Line" followed by one or more digits, exact case.
bool IsGameSection(std::wstring_view name) {
  constexpr std::wstring_view prefix = L"Line";
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return false;
  for (wchar_t c : name.substr(prefix.size())) {
    if (!std::iswdigit(static_cast<std::wint_t>(c))) return false;
  }
  return true;
}

// The section being read and the game it describes so far.
struct PendingGame {
  bool inGameSection = false;
  bool hasPath = false;
  GameListEntry entry;

  void FinishInto(std::vector<GameListEntry>& out) {
    if (hasPath) out.push_back(entry);
    hasPath = false;
    entry = GameListEntry{};
  }
};

}  // namespace

std::vector<GameListEntry> ParseGameListText(std::wstring_view text) {
  std::vector<GameListEntry> out;
  PendingGame pending;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring_view::npos) end = text.size();
    const std::wstring_view line = TrimBlanks(text.substr(start, end - start));
    start = end + 1;

    if (line.empty() || line[0] == L';' || line[0] == L'#') continue;
    if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
      pending.FinishInto(out);
      pending.inGameSection = IsGameSection(TrimBlanks(line.substr(1, line.size() - 2)));
      continue;
    }
    const size_t eq = line.find(L'=');
    if (eq == std::wstring_view::npos || eq == 0 || !pending.inGameSection) continue;
    const std::wstring_view key = TrimBlanks(line.substr(0, eq));
    const std::wstring_view value = TrimBlanks(line.substr(eq + 1));
    // A NUL can be in no folder's name, and every file call would read the
    // value only up to it: a path or executable folder holding one is no
    // folder, so it is refused like an empty path, rather than kept to be
    // checked as the text before the NUL and saved as another path.
    const bool namesNoFolder = value.find(L'\0') != std::wstring_view::npos;
    if (key == L"Name") {
      pending.entry.name = value;
    } else if (key == L"Path") {
      if (!value.empty() && !namesNoFolder) {
        pending.entry.path = value;
        pending.hasPath = true;
      }
    } else if (key == L"ExeFolder") {
      if (!namesNoFolder) pending.entry.exeFolder = value;
    }
  }
  pending.FinishInto(out);
  return out;
}

std::vector<GameListEntry> ReadGameListEntries(std::string_view bytes) {
  std::wstring text;
  if (!DecodeGameListBytes(bytes, text)) return {};
  return ParseGameListText(text);
}

}  // namespace zrcc
