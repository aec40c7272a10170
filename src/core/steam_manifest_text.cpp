#include "core/steam_manifest_text.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "core/text.h"

namespace zrcc {

namespace {

// The next quoted text of `text` from `at` on, unescaped; `at` moves past
// its closing quote. Nothing when no complete quoted text follows.
std::optional<std::wstring> NextQuotedText(std::wstring_view text, size_t& at) {
  const size_t open = text.find(L'"', at);
  if (open == std::wstring_view::npos) return std::nullopt;
  std::wstring value;
  for (size_t i = open + 1; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'"') {
      at = i + 1;
      return value;
    }
    if (c == L'\\' && i + 1 < text.size() && (text[i + 1] == L'"' || text[i + 1] == L'\\')) ++i;
    value += text[i];
  }
  return std::nullopt;
}

}  // namespace

std::wstring ExtractQuotedValue(const char* bytes, size_t length, const wchar_t* key) {
  if (key == nullptr || bytes == nullptr || length == 0) return {};
  const std::wstring text = DecodeUtf8Lenient(std::string_view(bytes, length));
  size_t at = 0;
  while (const std::optional<std::wstring> quoted = NextQuotedText(text, at)) {
    if (*quoted == key) return NextQuotedText(text, at).value_or(std::wstring());
  }
  return {};
}

bool IsManifestFileName(std::wstring_view name) {
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos || dot == 0) return false;
  return name.substr(dot) == L".acf";
}

namespace {

// The tokens of a manifest's text: quoted or bare strings and braces.
// Comments ("//" to the end of the line) and blanks separate them.
class ManifestTokens {
 public:
  explicit ManifestTokens(std::string_view text) : text_(text) {}

  enum class Kind { String, Open, Close, End };
  struct Token {
    Kind kind = Kind::End;
    std::string_view text;  // a string's text, escapes not undone (keys and numbers hold none)
  };

  Token Next() {
    SkipBlanksAndComments();
    if (at_ >= text_.size()) return {};
    const char c = text_[at_];
    if (c == '{' || c == '}') {
      ++at_;
      return {c == '{' ? Kind::Open : Kind::Close, {}};
    }
    if (c == '"') return Quoted();
    const size_t start = at_;
    while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != '"' && text_[at_] != '{' &&
           text_[at_] != '}') {
      ++at_;
    }
    return {Kind::String, text_.substr(start, at_ - start)};
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; }

  void SkipBlanksAndComments() {
    while (at_ < text_.size()) {
      if (IsBlank(text_[at_])) {
        ++at_;
      } else if (text_.substr(at_, 2) == "//") {
        const size_t end = text_.find('\n', at_);
        at_ = end == std::string_view::npos ? text_.size() : end;
      } else {
        return;
      }
    }
  }

  // A quoted string. One left open is a manifest cut short: it and what
  // follows count for nothing, so that a number cut in two is not read.
  Token Quoted() {
    const size_t start = ++at_;
    while (at_ < text_.size() && text_[at_] != '"') at_ += text_[at_] == '\\' ? 2 : 1;
    if (at_ >= text_.size()) {
      at_ = text_.size();
      return {};
    }
    return {Kind::String, text_.substr(start, at_++ - start)};
  }

  std::string_view text_;
  size_t at_ = 0;
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::optional<uint64_t> DecimalNumber(std::string_view text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

SteamAppState ReadSteamAppState(const char* bytes, size_t length) {
  SteamAppState state;
  if (bytes == nullptr || length == 0) return state;
  std::string_view text(bytes, length);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark an editor left
  ManifestTokens tokens(text);
  using Kind = ManifestTokens::Kind;
  // The outermost object is the one after the first key ("AppState").
  if (tokens.Next().kind != Kind::String || tokens.Next().kind != Kind::Open) return state;
  // Keys of that object, each followed by a value or an object of its own;
  // only its own first "StateFlags", "buildid" and "TargetBuildID" count.
  size_t depth = 1;
  std::string_view key;
  bool valueDue = false;  // a key was read and its value comes next
  for (ManifestTokens::Token token = tokens.Next(); token.kind != Kind::End && depth > 0; token = tokens.Next()) {
    if (token.kind == Kind::Open) {
      ++depth;
      valueDue = false;
    } else if (token.kind == Kind::Close) {
      --depth;
      valueDue = false;
    } else if (!valueDue) {
      key = token.text;
      valueDue = true;
    } else {
      if (depth == 1) {
        for (auto [name, field] : {std::pair{"StateFlags", &state.stateFlags}, std::pair{"buildid", &state.buildId},
                                   std::pair{"TargetBuildID", &state.targetBuildId}}) {
          if (!*field && EqualsIgnoringCase(key, name)) *field = DecimalNumber(token.text);
        }
      }
      valueDue = false;
    }
  }
  return state;
}

SteamUpdate DecideSteamUpdate(const SteamAppState& state) {
  constexpr uint64_t kUpdateRequired = 2, kUpdateRunning = 256, kUpdatePaused = 512, kUpdateStarted = 1024,
                     kDownloading = 1048576;
  const uint64_t flags = state.stateFlags.value_or(0);
  if (flags & (kUpdateRunning | kDownloading)) return SteamUpdate::Running;
  if (flags & kUpdatePaused) return SteamUpdate::Paused;
  if (flags & kUpdateStarted) return SteamUpdate::Running;
  if (flags & kUpdateRequired) return SteamUpdate::Pending;
  if (state.targetBuildId && *state.targetBuildId != 0 && state.targetBuildId != state.buildId) {
    return SteamUpdate::Pending;
  }
  return SteamUpdate::None;
}


}  // namespace zrcc
