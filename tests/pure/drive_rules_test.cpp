// Which volume a game folder lies on, in every spelling a stored path can
// have: a drive, a share, their long forms, a volume GUID, or none.
#include "core/drive_rules.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

TEST(DriveRules, EverySpellingOfAPathHasTheRootOfItsVolume) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"E:\\Games\\X", L"E:\\"},          {L"e:/Games", L"e:\\"},
      {L"\\\\?\\E:\\Games\\X", L"E:\\"},   {L"//nas/games/X", L"\\\\nas\\games\\"},
      {L"\\\\?\\UNC\\nas\\games\\X", L"\\\\nas\\games\\"},
      {L"\\\\?\\Volume{0b1c}\\Games", L"\\\\?\\Volume{0b1c}\\"},
      {L"\\\\nas", L""}, {L"\\\\.\\COM1", L""}, {L"Games\\X", L""},
  };
  for (const auto& [path, root] : cases) EXPECT_EQ(VolumeRoot(path), root) << testing::PrintToString(std::wstring(path));
  EXPECT_NE(AbsentDriveTip(L"\\\\?\\UNC\\nas\\games\\X").find(L"\\\\nas\\games is not present"), std::wstring::npos);
}

// A root in any spelling is a root; one folder more is a folder like any other.
TEST(DriveRules, TheRootOfAVolumeIsKnownInEverySpelling) {
  for (const wchar_t* root : {L"C:\\", L"c:/", L"C:", L"\\\\?\\C:\\", L"\\\\server\\share", L"\\\\server\\share\\",
                              L"//server/share/", L"\\\\?\\UNC\\server\\share\\", L"\\\\?\\Volume{0b1c}\\"}) {
    EXPECT_TRUE(IsVolumeRoot(root)) << testing::PrintToString(std::wstring(root));
    std::wstring inside = root;
    if (inside.back() != L'\\' && inside.back() != L'/') inside += L'\\';
    EXPECT_FALSE(IsVolumeRoot(inside + L"Games")) << testing::PrintToString(inside);
  }
  EXPECT_FALSE(IsVolumeRoot(L"Games"));
  EXPECT_FALSE(IsVolumeRoot(L""));
}

}  // namespace
}  // namespace zrcc
