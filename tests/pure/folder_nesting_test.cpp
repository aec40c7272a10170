#include "core/folder_nesting.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

TEST(FolderNesting, InsideMeansBelowAWholeComponentInAnySpelling) {
  EXPECT_TRUE(IsSameOrInsideFolder(L"D:\\Games\\Foo", L"D:\\Games"));
  EXPECT_TRUE(IsSameOrInsideFolder(L"\\\\?\\D:\\Games\\Foo", L"D:/Games"));
  EXPECT_TRUE(IsSameOrInsideFolder(L"\\\\?\\UNC\\nas\\games\\Foo", L"\\\\nas\\games"));
  EXPECT_TRUE(IsSameOrInsideFolder(L"D:\\Games", L"D:\\"));
  EXPECT_FALSE(IsSameOrInsideFolder(L"D:\\Games2", L"D:\\Games"));
  EXPECT_FALSE(IsSameOrInsideFolder(L"D:\\Games", L"D:\\Games\\Foo"));
  EXPECT_FALSE(IsSameOrInsideFolder(L"E:\\Games", L"D:\\"));
}

}  // namespace
}  // namespace zrcc
