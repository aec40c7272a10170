#include "core/launcher_files.h"

#include <cwctype>

#include "core/text.h"

namespace zrcc {

namespace {

// Deeper than any file a launcher writes; a deeper one is refused before it
// can cost memory.
constexpr size_t kMaxNesting = 64;

// Strict UTF-8 after an optional byte order mark. A NUL anywhere would cut a
// path short where the system reads it, naming another folder: refused.
bool DecodeLauncherText(std::string_view bytes, std::wstring& text) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (!DecodeUtf8Strict(bytes, text)) return false;
  return text.find(L'\0') == std::wstring::npos;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

bool IsDigits(std::wstring_view text) {
  if (text.empty()) return false;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

// --- Valve's KeyValues text, as libraryfolders.vdf is written -------------

struct VdfToken {
  enum Kind { Text, Open, Close, End, Bad } kind = End;
  std::wstring text;
};

class VdfTokens {
 public:
  explicit VdfTokens(std::wstring_view text) : text_(text) {}

  VdfToken Next() {
    SkipBlanksAndComments();
    if (at_ >= text_.size()) return {VdfToken::End, {}};
    const wchar_t c = text_[at_];
    if (c == L'{') return ++at_, VdfToken{VdfToken::Open, {}};
    if (c == L'}') return ++at_, VdfToken{VdfToken::Close, {}};
    if (c == L'"') return Quoted();
    VdfToken bare{VdfToken::Text, {}};
    while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != L'{' && text_[at_] != L'}' &&
           text_[at_] != L'"') {
      bare.text += text_[at_++];
    }
    return bare;
  }

 private:
  void SkipBlanksAndComments() {
    while (at_ < text_.size()) {
      if (IsBlank(text_[at_])) {
        ++at_;
      } else if (text_.substr(at_, 2) == L"//") {
        const size_t end = text_.find(L'\n', at_);
        at_ = end == std::wstring_view::npos ? text_.size() : end + 1;
      } else {
        return;
      }
    }
  }

  // Steam escapes a backslash and a quote inside values ("D:\\Games"); other
  // escapes it writes are kept as they stand.
  VdfToken Quoted() {
    VdfToken token{VdfToken::Text, {}};
    for (++at_; at_ < text_.size(); ++at_) {
      const wchar_t c = text_[at_];
      if (c == L'"') {
        ++at_;
        return token;
      }
      if (c == L'\\' && at_ + 1 < text_.size() && (text_[at_ + 1] == L'\\' || text_[at_ + 1] == L'"')) {
        token.text += text_[++at_];
      } else {
        token.text += c;
      }
    }
    return {VdfToken::Bad, {}};  // cut short inside a value
  }

  std::wstring_view text_;
  size_t at_ = 0;
};

// --- JSON, as the Epic launcher writes its manifests -----------------------

class JsonReader {
 public:
  explicit JsonReader(std::wstring_view text) : text_(text) {}

  // Reads one whole object; `member` receives each string member of that
  // object (not of objects or arrays inside it). False for anything that is
  // not exactly one JSON object.
  template <typename Member>
  bool ReadTopObject(Member&& member) {
    SkipBlanks();
    if (!Take(L'{')) return false;
    std::vector<wchar_t> open{L'}'};  // the closing character of every open container
    std::wstring key;
    bool expectKey = true;
    SkipBlanks();
    if (Take(L'}')) return AtEnd();
    while (true) {
      if (expectKey) {
        SkipBlanks();
        if (!String(key)) return false;
        SkipBlanks();
        if (!Take(L':')) return false;
      }
      // A value.
      SkipBlanks();
      if (at_ >= text_.size()) return false;
      const wchar_t c = text_[at_];
      if (c == L'{' || c == L'[') {
        if (open.size() >= kMaxNesting) return false;
        ++at_;
        open.push_back(c == L'{' ? L'}' : L']');
        SkipBlanks();
        if (Take(open.back())) {
          open.pop_back();
        } else {
          expectKey = open.back() == L'}';
          continue;
        }
      } else if (c == L'"') {
        std::wstring value;
        if (!String(value)) return false;
        if (open.size() == 1) member(key, value);
      } else if (!Scalar()) {
        return false;
      }
      // After a value: a comma, or the end of one or more containers.
      while (true) {
        SkipBlanks();
        if (Take(L',')) {
          expectKey = open.back() == L'}';
          break;
        }
        if (!Take(open.back())) return false;
        open.pop_back();
        if (open.empty()) return AtEnd();
      }
    }
  }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }
  bool Take(wchar_t c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool AtEnd() {
    SkipBlanks();
    return at_ == text_.size();
  }

  static int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
  }

  // A string in quotes, unescaped. A \u escape gives its UTF-16 unit as
  // written; a NUL is refused, for the reason DecodeLauncherText gives.
  bool String(std::wstring& out) {
    out.clear();
    if (!Take(L'"')) return false;
    while (at_ < text_.size()) {
      const wchar_t c = text_[at_++];
      if (c == L'"') return true;
      if (static_cast<uint32_t>(c) < 0x20) return false;
      if (c != L'\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      const wchar_t e = text_[at_++];
      switch (e) {
        case L'"': case L'\\': case L'/': out += e; break;
        case L'b': out += L'\b'; break;
        case L'f': out += L'\f'; break;
        case L'n': out += L'\n'; break;
        case L'r': out += L'\r'; break;
        case L't': out += L'\t'; break;
        case L'u': {
          if (text_.size() - at_ < 4) return false;
          int unit = 0;
          for (int i = 0; i < 4; ++i) {
            const int digit = HexValue(text_[at_++]);
            if (digit < 0) return false;
            unit = unit * 16 + digit;
          }
          if (unit == 0) return false;
          out += static_cast<wchar_t>(unit);
          break;
        }
        default: return false;
      }
    }
    return false;
  }

  // A number, true, false or null.
  bool Scalar() {
    for (const std::wstring_view word : {L"true", L"false", L"null"}) {
      if (text_.substr(at_, word.size()) == word) {
        at_ += word.size();
        return true;
      }
    }
    const size_t start = at_;
    auto digits = [this] {
      const size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= L'0' && text_[at_] <= L'9') ++at_;
      return at_ > from;
    };
    Take(L'-');
    if (!digits()) return false;
    if (Take(L'.') && !digits()) return false;
    if (Take(L'e') || Take(L'E')) {
      if (!Take(L'+')) Take(L'-');
      if (!digits()) return false;
    }
    return at_ > start;
  }

  std::wstring_view text_;
  size_t at_ = 0;
};

}  // namespace

std::optional<std::vector<std::wstring>> ReadLibraryFolders(std::string_view bytes) {
  std::wstring text;
  if (!DecodeLauncherText(bytes, text)) return std::nullopt;
  VdfTokens tokens(text);
  // "libraryfolders" (or "LibraryFolders") { ... }
  if (tokens.Next().kind != VdfToken::Text || tokens.Next().kind != VdfToken::Open) return std::nullopt;
  std::vector<std::wstring> folders;
  size_t depth = 1;
  bool inNumberedEntry = false;  // depth 2 inside a numbered entry of the current layout
  bool entryHasPath = false;
  while (depth > 0) {
    const VdfToken key = tokens.Next();
    if (key.kind == VdfToken::Close) {
      --depth;
      if (depth == 1) inNumberedEntry = false;
      continue;
    }
    if (key.kind != VdfToken::Text) return std::nullopt;  // cut short, or a brace out of place
    const VdfToken value = tokens.Next();
    if (value.kind == VdfToken::Open) {
      if (++depth > kMaxNesting) return std::nullopt;
      if (depth == 2) {
        inNumberedEntry = IsDigits(key.text);
        entryHasPath = false;
      }
      continue;
    }
    if (value.kind != VdfToken::Text) return std::nullopt;
    const bool oldLayoutPath = depth == 1 && IsDigits(key.text);
    const bool currentLayoutPath = depth == 2 && inNumberedEntry && !entryHasPath && LowerKey(key.text) == L"path";
    if ((oldLayoutPath || currentLayoutPath) && !value.text.empty()) folders.push_back(value.text);
    if (currentLayoutPath) entryHasPath = true;
  }
  return folders;
}

std::optional<EpicManifest> ReadEpicManifest(std::string_view bytes) {
  std::wstring text;
  if (!DecodeLauncherText(bytes, text)) return std::nullopt;
  EpicManifest manifest;
  bool seen[3] = {false, false, false};
  auto member = [&](const std::wstring& key, std::wstring& value) {
    std::wstring* fields[3] = {&manifest.displayName, &manifest.installLocation, &manifest.launchExecutable};
    const wchar_t* keys[3] = {L"DisplayName", L"InstallLocation", L"LaunchExecutable"};
    for (int i = 0; i < 3; ++i) {
      if (key == keys[i] && !seen[i]) {  // the first of repeated keys counts
        seen[i] = true;
        *fields[i] = std::move(value);
      }
    }
  };
  if (!JsonReader(text).ReadTopObject(member)) return std::nullopt;
  if (TrimBlanks(manifest.installLocation).empty()) return std::nullopt;
  return manifest;
}

}  // namespace zrcc
