#include "core/text.h"

#include <cstdint>

namespace zrcc {

wchar_t FoldUnit(wchar_t unit) {
  if (unit >= L'A' && unit <= L'Z') return static_cast<wchar_t>(unit - L'A' + L'a');
  return unit;
}

std::wstring LowerKey(std::wstring_view text) {
  std::wstring key(text);
  for (wchar_t& c : key) c = FoldUnit(c);
  return key;
}

std::wstring_view TrimBlanks(std::wstring_view text) {
  auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
  size_t begin = 0, end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

namespace {

void AppendUtf16(std::wstring& out, uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(cp));
  }
}

// Decodes one well-formed UTF-8 sequence at `pos` (Unicode table 3-7).
// Returns its length, or 0 when the bytes there are not a valid sequence.
size_t DecodeOne(std::string_view s, size_t pos, uint32_t& cp) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  const uint8_t b0 = byte(pos);
  if (b0 < 0x80) { cp = b0; return 1; }
  size_t len;
  uint8_t lo = 0x80, hi = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) { len = 2; cp = b0 & 0x1Fu; }
  else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3; cp = b0 & 0x0Fu;
    if (b0 == 0xE0) lo = 0xA0;        // no overlong forms
    if (b0 == 0xED) hi = 0x9F;        // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4; cp = b0 & 0x07u;
    if (b0 == 0xF0) lo = 0x90;        // no overlong forms
    if (b0 == 0xF4) hi = 0x8F;        // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (pos + len > s.size()) return 0;
  for (size_t i = 1; i < len; ++i) {
    const uint8_t b = byte(pos + i);
    if (i == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF)) return 0;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  return len;
}

}  // namespace

namespace {

// Decodes `bytes` into `out`. At an invalid sequence `invalid` may put in what
// stands for it and go on (true), or end the decoding (false, the result).
template <typename OnInvalid>
bool DecodeUtf8Into(std::string_view bytes, std::wstring& out, OnInvalid invalid) {
  out.clear();
  out.reserve(bytes.size());
  for (size_t pos = 0; pos < bytes.size();) {
    uint32_t cp = 0;
    const size_t len = DecodeOne(bytes, pos, cp);
    if (len == 0) {
      if (!invalid(out)) return false;
      ++pos;
      continue;
    }
    AppendUtf16(out, cp);
    pos += len;
  }
  return true;
}

}  // namespace

bool DecodeUtf8Strict(std::string_view bytes, std::wstring& out) {
  if (DecodeUtf8Into(bytes, out, [](std::wstring&) { return false; })) return true;
  out.clear();
  return false;
}

std::wstring DecodeUtf8Lenient(std::string_view bytes) {
  std::wstring out;
  DecodeUtf8Into(bytes, out, [](std::wstring& text) {
    text.push_back(static_cast<wchar_t>(0xFFFD));
    return true;
  });
  return out;
}

std::string EncodeUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = static_cast<uint32_t>(text[i]) & 0xFFFFu;
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
      const uint32_t low = static_cast<uint32_t>(text[i + 1]) & 0xFFFFu;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // unpaired surrogate
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace zrcc
