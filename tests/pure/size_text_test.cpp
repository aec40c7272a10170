#include "core/size_text.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

TEST(SizeText, PicksTheUnitBeforeRounding) {
  const struct {
    uint64_t bytes;
    const wchar_t* text;
  } cases[] = {
      {0, L"0 B"},
      {1023, L"1023 B"},
      {1024, L"1 KB"},
      {1537, L"2 KB"},
      {1048575, L"1024 KB"},
      {1048576, L"1 MB"},
      {1073741823, L"1024 MB"},
      {1073741824, L"1 GB"},
      {5ull << 30, L"5 GB"},
      {1ull << 40, L"1024 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSizeText(c.bytes), c.text) << c.bytes;
}

TEST(SizeText, RoundsHalvesUpTheSameOnEveryBuild) {
  EXPECT_EQ(FormatSizeText(2559), L"2 KB");
  EXPECT_EQ(FormatSizeText(2560), L"3 KB");  // exactly 2.5 KB
  EXPECT_EQ(FormatSizeText(3584), L"4 KB");  // exactly 3.5 KB
  EXPECT_EQ(FormatSizeText((3ull << 20) / 2), L"2 MB");
  EXPECT_EQ(FormatSizeText(UINT64_MAX), L"17179869184 GB");
}

}  // namespace
}  // namespace zrcc
