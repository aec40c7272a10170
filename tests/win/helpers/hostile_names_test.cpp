// Names come from outside (Steam manifests, product names of executables) and
// may span lines: after a save and a reload the list still holds exactly the
// same games with the same paths.
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "discovery/folder_intake.h"
#include "helpers/data_file.h"
#include "platform/app_folder.h"
#include "ui/game_list_pane.h"
#include "ui/game_list_pane.h"
#include "ui/notices.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

TEST(HostileNames, NamesSpanningLinesNeverRewriteTheList) {
  test::TempDir dir;
  test::TestWindow window;
  test::MessageBoxRecorder boxes;
  SetAppFolderForTesting(dir.path());
  ClearGames();

  const std::wstring library = dir / L"SteamLibrary";
  test::WriteFileBytes(library + L"\\steamapps\\common\\A\\A.exe", "MZ");
  test::WriteFileBytes(library + L"\\steamapps\\appmanifest_1.acf",
                       "\"name\" \"A\r\nPath=C:\\Windows\n[Line9]\nPath=C:\\Evil\" \"installdir\" \"A\"");
  ASSERT_TRUE(AddGameFolder(window.pane(), library));
  const std::wstring evil = dir / L"Evil";
  test::MakeDirs(evil);
  ASSERT_TRUE(CopyFileW((test::Fixture(L"hostile_name.exe")).c_str(),
                        (evil + L"\\Evil.exe").c_str(), FALSE));
  ASSERT_TRUE(AddGameFolder(window.pane(), evil));
  ASSERT_EQ(GameCount(), 2);
  ASSERT_NE(GetGame(0)->name.find(L'\n'), std::wstring::npos) << "the manifest name really spans lines";
  ASSERT_EQ(GetGame(1)->name, L"Evil\r\n[Line9]\r\nPath=C:\\Windows");

  ASSERT_TRUE(SaveData());
  std::wstring text;
  ASSERT_TRUE(ReadDataFileText(text));
  const auto back = ParseGameListText(text);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].path, GetGame(0)->path);
  EXPECT_EQ(back[0].name, L"A  Path=C:\\Windows [Line9] Path=C:\\Evil");
  EXPECT_EQ(back[1].path, evil);
  EXPECT_EQ(back[1].name, L"Evil  [Line9]  Path=C:\\Windows");
  EXPECT_EQ(back[1].exeFolder, L"");

  ClearGames();
  SetAppFolderForTesting(L"");
}

}  // namespace
}  // namespace zrcc
