// Which volume a game folder lies on, in every spelling a stored path can
// have, and what a row says while that volume is absent.
#include "core/drive_rules.h"

#include <gtest/gtest.h>

#include "core/paths.h"

namespace zrcc {
namespace {

TEST(DriveRules, EverySpellingOfAPathHasTheRootOfItsVolume) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"E:\\Games\\Tidebreaker", L"E:\\"},
      {L"e:/Games", L"e:\\"},
      {L"E:", L"E:\\"},
      {L"\\\\nas\\games\\Tidebreaker", L"\\\\nas\\games\\"},
      {L"//nas/games", L"\\\\nas\\games\\"},
      {L"\\\\?\\UNC\\nas\\games\\Tidebreaker", L"\\\\nas\\games\\"},
      {L"\\\\?\\Volume{0b1c2d3e-0000-1111-2222-333344445555}\\Games", L"\\\\?\\Volume{0b1c2d3e-0000-1111-2222-333344445555}\\"},
      {L"\\\\nas", L""},           // a server without a share
      {L"\\\\.\\COM1", L""},       // a device
      {L"Games\\Tidebreaker", L""},  // relative
      {L"", L""},
  };
  for (const auto& [path, root] : cases) EXPECT_EQ(VolumeRoot(path), root) << testing::PrintToString(std::wstring(path));
  // The long form of any path, however long, lies on the plain path's volume.
  std::wstring deep = L"E:\\Games";
  while (deep.size() < 400) deep += L"\\folder";
  EXPECT_EQ(VolumeRoot(ExtendedLengthPath(deep)), L"E:\\");
  EXPECT_EQ(VolumeRoot(ExtendedLengthPath(L"\\\\nas\\games" + deep.substr(2))), L"\\\\nas\\games\\");
}

// The row names the volume to bring back, whichever spelling was stored.
TEST(DriveRules, AbsentDriveTipNamesTheVolumeToBringBack) {
  EXPECT_NE(AbsentDriveTip(L"\\\\?\\E:\\Games\\X").find(L"Drive E: is not present"), std::wstring::npos);
  EXPECT_NE(AbsentDriveTip(L"\\\\?\\UNC\\nas\\games\\X").find(L"\\\\nas\\games is not present"), std::wstring::npos);
}

}  // namespace
}  // namespace zrcc
