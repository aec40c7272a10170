// The portable UTF-8 conversions against the platform's own
// MultiByteToWideChar / WideCharToMultiByte, over a corpus of valid and
// invalid sequences and many generated ones.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "core/text.h"

namespace zrcc {
namespace {

// The platform's verdict: nullopt when MB_ERR_INVALID_CHARS rejects it.
std::optional<std::wstring> PlatformDecode(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string PlatformEncode(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void ExpectSameDecode(const std::string& bytes) {
  std::wstring ours;
  const bool ok = DecodeUtf8Strict(bytes, ours);
  const auto theirs = PlatformDecode(bytes);
  std::string hex;
  for (unsigned char c : bytes) hex += std::to_string(c) + " ";
  ASSERT_EQ(ok, theirs.has_value()) << "bytes: " << hex;
  if (ok) {
    ASSERT_EQ(ours, *theirs) << "bytes: " << hex;
  }
}

TEST(Utf8Corpus, StrictDecoderAgreesWithThePlatform) {
  const std::string corpus[] = {
      "plain", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x8E\xAE", "\xF4\x8F\xBF\xBF", "\xEF\xBF\xBE",
      "\xEF\xBB\xBF" "x", std::string("a\0b", 3), "\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
      "\xED\xA0\x80", "\xED\xBF\xBF", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
      "\xF8\x88\x80\x80\x80", "\xC3", "\xE2\x82", "\xF0\x9F\x8E", "\x80", "\xBF", "\xFE", "\xFF", "\xC3\x28",
      "\xE2\x28\xA1", "\xE2\x82\x28", "\xF0\x28\x8C\xBC", "\xF0\x90\x28\xBC", "ok\xC3\xA9ok\xFF",
  };
  for (const std::string& bytes : corpus) ExpectSameDecode(bytes);
}

TEST(Utf8Corpus, GeneratedSequencesAgreeWithThePlatform) {
  // Bytes drawn mostly from the boundaries where UTF-8 rules change.
  const unsigned char interesting[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2,
                                       0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFF};
  std::mt19937 random(20261208);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(1 + random() % 6, '\0');
    for (char& c : bytes) {
      c = static_cast<char>(random() % 4 ? interesting[random() % sizeof interesting] : random() % 256);
    }
    ExpectSameDecode(bytes);
  }
}

TEST(Utf8Corpus, EncoderAgreesWithThePlatform) {
  std::mt19937 random(7);
  const wchar_t interesting[] = {0x41, 0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xD800, 0xDBFF,
                                 0xDC00, 0xDFFF, 0xE000, 0xFFFD, 0xFFFF, 0x20AC};
  for (int round = 0; round < 20000; ++round) {
    std::wstring text(1 + random() % 5, L'\0');
    for (wchar_t& c : text) {
      c = random() % 3 ? interesting[random() % (sizeof interesting / sizeof *interesting)]
                       : static_cast<wchar_t>(random() % 0x10000);
    }
    ASSERT_EQ(EncodeUtf8(text), PlatformEncode(text)) << "round " << round;
  }
}

}  // namespace
}  // namespace zrcc
