// Every button and the list's double-click on the real main window, with the
// dialogs answered through the seam, and a user's first run end to end.
#include "ui/commands.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <thread>

#include "discovery/folder_intake.h"

#include "core/catalogue.h"
#include "core/game_list_file.h"
#include "helpers/game_rows.h"
#include "platform/background_job.h"
#include "ui/main_window.h"
#include "ui/settings.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

using test::TempDir;

using test::Fixture;

void CopyFixture(const std::wstring& fixture, const std::wstring& to) {
  test::MakeDirs(to.substr(0, to.find_last_of(L'\\')));
  ASSERT_TRUE(CopyFileW(Fixture(fixture).c_str(), to.c_str(), FALSE));
}

// A mod package: the DLL, a setup script that installs it under another
// name, a removal script that deletes it, and a Licenses folder.
std::wstring MakePackage(const TempDir& dir) {
  const std::wstring package = dir / L"ZandRivell-package";
  CopyFixture(L"zandrivell.dll", package + L"\\ZandRivell.dll");
  test::WriteFileBytes(package + L"\\setup_windows.bat", "@echo off\r\nren ZandRivell.dll dxgi.dll\r\n");
  test::WriteFileBytes(package + L"\\Remove Zandrivell.bat", "@echo off\r\ndel dxgi.dll\r\n");
  test::WriteFileBytes(package + L"\\Licenses\\LICENSE.txt", "license");
  return package;
}

// Alpha keeps its executable at its top, Beta in Binaries\Win64 as engine
// builds do.
std::wstring MakeLibrary(const TempDir& dir) {
  const std::wstring library = dir / L"SteamLibrary";
  for (const wchar_t* game : {L"Alpha", L"Beta"}) {
    const std::wstring exeFolder = std::wstring(game) == L"Beta" ? L"\\Binaries\\Win64\\" : L"\\";
    CopyFixture(L"plain.exe", library + L"\\steamapps\\common\\" + game + exeFolder + game + L".exe");
    test::WriteFileBytes(library + L"\\steamapps\\appmanifest_" + game + L".acf",
                         "\"AppState\"\n{\n\t\"name\"\t\t\"" + test::Utf8(game) + " Game\"\n\t\"installdir\"\t\t\"" +
                             test::Utf8(game) + "\"\n}\n");
  }
  return library;
}

// A row with chosen texts, as a refresh would have written them.
void AddRow(test::AppWindow& app, const std::wstring& path, ModState state, const std::wstring& version) {
  Game g;
  g.path = path;
  g.modState = state;
  g.modVersion = version;
  AddGame(g);
  ShowGameRows(app.list(), GameCount());
}

TEST(Commands, ButtonStatesFollowTheSelectedRowsTexts) {
  TempDir dir;
  test::AppWindow app(dir.path());
  AddRow(app, L"C:\\Copied", ModState::Copied, L"1.2.3");
  AddRow(app, L"C:\\Installed", ModState::Installed, L"1.2.3");
  AddRow(app, L"C:\\Empty", ModState::None, L"");

  app.Select(2);  // no package folder yet
  EXPECT_TRUE(app.Enabled(kIdOpenButton));
  EXPECT_TRUE(app.Enabled(kIdDeleteButton));
  EXPECT_FALSE(app.Enabled(kIdCopyButton));
  EXPECT_FALSE(app.Enabled(kIdInstallButton));
  EXPECT_FALSE(app.Enabled(kIdUninstallButton));

  app.pickerAnswers = {MakePackage(dir)};
  app.Press(kIdSetFolderButton);
  ASSERT_TRUE(app.package().set());
  EXPECT_FALSE(app.Enabled(kIdCopyButton)) << "re-evaluated only at the next selection change";
  app.Select(-1);
  app.Select(2);
  EXPECT_TRUE(app.Enabled(kIdCopyButton));

  app.Select(0);
  EXPECT_FALSE(app.Enabled(kIdCopyButton));
  EXPECT_TRUE(app.Enabled(kIdInstallButton));
  EXPECT_FALSE(app.Enabled(kIdUninstallButton));

  app.Select(1);
  EXPECT_FALSE(app.Enabled(kIdCopyButton));
  EXPECT_FALSE(app.Enabled(kIdInstallButton));
  EXPECT_TRUE(app.Enabled(kIdUninstallButton));

  app.Select(-1);  // selection cleared
  EXPECT_FALSE(app.Enabled(kIdOpenButton));
  EXPECT_FALSE(app.Enabled(kIdUninstallButton));
}

TEST(Commands, SettingAPackageFolderAcceptsOrRejects) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::wstring notAPackage = dir / L"empty";
  test::MakeDirs(notAPackage);
  app.pickerAnswers = {notAPackage};
  app.Press(kIdSetFolderButton);
  EXPECT_EQ(app.pickerTitles.back(), L"Select ZandRivell Folder");
  ASSERT_EQ(app.boxes.boxes().size(), 1u);
  EXPECT_EQ(app.boxes.boxes()[0].text, L"No ZandRivell.dll was found in this folder:\n" + notAPackage);
  EXPECT_EQ(app.boxes.boxes()[0].caption, L"Invalid Folder");
  EXPECT_EQ(app.boxes.boxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_FALSE(app.package().set());
  EXPECT_EQ(app.package().folder(), notAPackage);
  EXPECT_EQ(app.PathFieldText(), L"No path set");
  EXPECT_EQ(app.package().version(), L"not found");
  EXPECT_EQ(app.package().build(), L"not found");

  // Copy does nothing now, even on a row whose button still shows enabled.
  AddRow(app, dir / L"SomeGame", ModState::None, L"");
  test::MakeDirs(dir / L"SomeGame");
  app.Select(0);
  app.Press(kIdCopyButton);
  EXPECT_TRUE(test::ListNames(dir / L"SomeGame").empty());

  const std::wstring package = MakePackage(dir);
  app.pickerAnswers = {package};
  app.Press(kIdSetFolderButton);
  EXPECT_TRUE(app.package().set());
  EXPECT_EQ(app.PathFieldText(), package);
  EXPECT_EQ(app.package().version(), L"1.2.3");
  EXPECT_EQ(app.package().build(), L"build 456");
  EXPECT_EQ(app.boxes.boxes().size(), 1u);

  // A rejected choice warns and keeps the package that works; so does a cancel.
  app.pickerAnswers = {notAPackage, std::nullopt};
  app.Press(kIdSetFolderButton);
  app.Press(kIdSetFolderButton);
  EXPECT_EQ(app.boxes.boxes().size(), 2u);
  EXPECT_TRUE(app.package().set());
  EXPECT_EQ(app.package().folder(), package);
  EXPECT_EQ(app.PathFieldText(), package);
  EXPECT_EQ(app.package().version(), L"1.2.3");
  app.Press(kIdCopyButton);
  EXPECT_TRUE(test::FileExists(dir / L"SomeGame\\ZandRivell.dll"));
}

// A copy the shell is never asked to do says why, naming the folder.
TEST(Commands, CopyRefusedBeforeTheShellShowsAnError) {
  TempDir dir;
  test::AppWindow app(dir.path());
  app.pickerAnswers = {MakePackage(dir)};
  app.Press(kIdSetFolderButton);
  std::wstring deep = dir / L"Deep";
  while (deep.size() < 300) deep += L"\\a-rather-long-folder-name";
  test::MakeDirs(deep);
  test::WriteFileBytes(dir / L"Blocked\\bin", "a file where the game's executable folder should be");
  CopyFixture(L"plain.exe", dir / L"Blocked\\Blocked.exe");  // found by the refresh afterwards
  AddRow(app, deep, ModState::None, L"");
  AddRow(app, dir / L"Blocked", ModState::None, L"");
  GetGame(1)->exeFolder = L"bin";
  for (int row : {0, 1}) {
    app.Select(row);
    app.Press(kIdCopyButton);
  }
  const auto boxes = app.boxes.boxes();
  ASSERT_EQ(boxes.size(), 2u);
  const std::wstring named[] = {deep, dir / L"Blocked\\bin"};
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(boxes[i].caption, L"Error");
    EXPECT_EQ(boxes[i].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes[i].owner, app.window());
    EXPECT_NE(boxes[i].text.find(named[i]), std::wstring::npos) << test::Utf8(boxes[i].text);
  }
  EXPECT_EQ(test::ReadFileBytes(dir / L"Blocked\\bin"), "a file where the game's executable folder should be");
}

// Nothing goes into a game whose folder is gone; nothing but the package
// the window shows is copied: a package replaced meanwhile is shown and
// refused, one without its DLL counts as unset.
TEST(Commands, DeploymentChecksTheGameFolderAndThePackageFirst) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::wstring package = MakePackage(dir);
  app.pickerAnswers = {package};
  app.Press(kIdSetFolderButton);
  const std::wstring gone = dir / L"Gone", here = dir / L"Here";
  test::MakeDirs(here);
  AddRow(app, gone, ModState::None, L"");
  AddRow(app, here, ModState::None, L"");
  app.Select(0);
  for (int id : {kIdCopyButton, kIdInstallButton, kIdUninstallButton, kIdOpenButton}) app.Press(id);
  EXPECT_FALSE(test::DirExists(gone));
  EXPECT_TRUE(app.explored.empty());
  ASSERT_EQ(app.boxes.boxes().size(), 4u);
  for (const test::RecordedBox& box : app.boxes.boxes()) {
    EXPECT_EQ(box.caption + L": " + box.text, L"Error: The game's folder no longer exists:\n" + gone);
  }
  app.boxes.clear();

  // A game whose drive is unplugged is out of reach, not gone.
  test::WineDrive drive(dir / L"usb");
  if (drive.ok()) {
    const std::wstring onDrive = drive.root() + L"Game";
    test::MakeDirs(onDrive);
    AddRow(app, onDrive, ModState::None, L"");
    ASSERT_TRUE(drive.Unplug());
    app.Select(2);
    app.Press(kIdOpenButton);
    ASSERT_EQ(app.boxes.boxes().size(), 1u);
    const std::wstring text = app.boxes.boxes()[0].text;
    EXPECT_TRUE(text.find(onDrive) == 0 && text.find(L"is not present") != std::wstring::npos) << test::Utf8(text);
    app.boxes.clear();
  }

  app.Select(1);
  CopyFixture(L"ver_no_product_version.dll", package + L"\\ZandRivell.dll");
  app.Press(kIdCopyButton);
  EXPECT_TRUE(test::ListNames(here).empty());
  EXPECT_EQ(app.package().version(), L"3.1");
  EXPECT_EQ(app.package().build(), L"");
  DeleteFileW((package + L"\\ZandRivell.dll").c_str());
  app.Press(kIdCopyButton);
  EXPECT_TRUE(test::ListNames(here).empty());
  EXPECT_FALSE(app.package().set());
  EXPECT_EQ(app.package().version(), L"not found");
  EXPECT_EQ(app.PathFieldText(), L"No path set");
  EXPECT_FALSE(app.Enabled(kIdCopyButton));
  const auto boxes = app.boxes.boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, L"Package changed");
  EXPECT_NE(boxes[0].text.find(L"version 3.1"), std::wstring::npos) << test::Utf8(boxes[0].text);
  EXPECT_EQ(boxes[1].caption + L": " + boxes[1].text,
            L"Invalid Folder: No ZandRivell.dll was found in this folder:\n" + package + L"\n\nNothing was copied.");
}

// The shell's copy leaves a file as it was (its question whether to
// replace it was answered No); the copy says what did not arrive.
TEST(Commands, CopyThatFellShortSaysWhatIsMissing) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::wstring package = MakePackage(dir);
  app.pickerAnswers = {package};
  app.Press(kIdSetFolderButton);
  const std::wstring game = dir / L"Game";
  const std::string own = "@rem the game's own\r\n";
  test::WriteFileBytes(game + L"\\setup_windows.bat", own);
  AddRow(app, game, ModState::None, L"");
  app.Select(0);
  {
    test::ShellDialogAnswerer no(IDNO);
    app.Press(kIdCopyButton);
  }
  ASSERT_EQ(app.boxes.boxes().size(), 1u);
  const test::RecordedBox box = app.boxes.boxes()[0];
  EXPECT_EQ(box.caption, L"Error");
  EXPECT_EQ(box.type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(box.text, L"ZandRivell was not copied completely into:\n" + game + L"\n\nsetup_windows.bat: " +
                          std::to_wstring(own.size()) + L" bytes instead of " +
                          std::to_wstring(test::ReadFileBytes(package + L"\\setup_windows.bat").size()) + L"\n");
  EXPECT_EQ(app.Cell(0, 2), L"Copied");  // the row shows what is on the disk
}

TEST(Commands, AddDirPicksFromTheDriveRootAndReportsAFolderWithoutPath) {
  TempDir dir;
  test::AppWindow app(dir.path());
  app.pickerAnswers = {std::wstring()};
  app.Press(kIdAddButton);
  EXPECT_EQ(app.pickerTitles.back(), L"Select a folder");
  ASSERT_EQ(app.boxes.boxes().size(), 1u);
  EXPECT_EQ(app.boxes.boxes()[0].text, L"Failed to get folder path.");
  EXPECT_EQ(app.boxes.boxes()[0].caption, L"Error");
  EXPECT_EQ(app.boxes.boxes()[0].owner, app.window());
}

TEST(Commands, OpenAndDoubleClickExploreTheSelectedExecutableFolder) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::wstring foo = dir / L"Games\\Foo", bar = dir / L"Games\\Bar";
  test::MakeDirs(foo);
  test::MakeDirs(bar);
  AddRow(app, foo, ModState::None, L"");
  GetGame(0)->exeFolder = L"bin\\x64";
  AddRow(app, bar, ModState::None, L"");
  app.DoubleClick();  // nothing selected: nothing happens
  EXPECT_TRUE(app.explored.empty());
  app.Select(0);
  app.Press(kIdOpenButton);
  app.Select(1);
  app.DoubleClick();
  ASSERT_EQ(app.explored.size(), 2u);
  EXPECT_EQ(app.explored[0], foo + L"\\bin\\x64");
  EXPECT_EQ(app.explored[1], bar + L"\\");
  EXPECT_TRUE(app.boxes.boxes().empty());
}

// Add Dir and Del Dir write the list at once: a crash or a kill later loses
// neither.
TEST(Commands, AddedAndDeletedGamesAreInTheListFileAtOnce) {
  TempDir dir;
  const std::wstring a = dir / L"A", b = dir / L"B";
  test::MakeDirs(a);
  test::MakeDirs(b);
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile({{a, L"", L""}, {b, L"", L""}}));
  test::AppWindow app(dir.path());
  ASSERT_EQ(app.RowCount(), 2);
  app.Select(0);
  app.Press(kIdDeleteButton);
  EXPECT_EQ(app.RowCount(), 1);
  EXPECT_EQ(app.StatusText(), L"Games: 1");
  EXPECT_FALSE(app.Enabled(kIdDeleteButton));
  auto saved = ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini"));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].path, b);

  const std::wstring library = MakeLibrary(dir);
  app.pickerAnswers = {library};
  app.Press(kIdAddButton);
  saved = ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini"));
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[2].path, library + L"\\steamapps\\common\\Beta");
  EXPECT_EQ(saved[2].name, L"Beta Game");
}

TEST(Commands, RefreshListKeepsGamesAddedSinceStart) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::wstring game = dir / L"Games\\Solo";
  CopyFixture(L"plain.exe", game + L"\\Solo.exe");
  app.pickerAnswers = {game};
  app.Press(kIdAddButton);
  ASSERT_EQ(app.RowCount(), 1);
  app.Press(kIdRefreshButton);
  ASSERT_EQ(app.RowCount(), 1);
  EXPECT_EQ(app.Cell(0, 0), game);
  EXPECT_EQ(app.StatusText(), L"Games: 1");
}

TEST(Commands, DeploymentActsOnTheRowSelectedNowNotAnOldIndex) {
  TempDir dir;
  test::AppWindow app(dir.path());
  app.pickerAnswers = {MakePackage(dir)};
  app.Press(kIdSetFolderButton);
  for (const wchar_t* name : {L"First", L"Second"}) {
    test::MakeDirs(dir / name);
    AddRow(app, dir / name, ModState::None, L"");
  }
  app.Select(1);
  app.Select(-1);
  app.Press(kIdCopyButton);  // nothing selected any more: nothing is copied
  EXPECT_TRUE(test::ListNames(dir / L"Second").empty());
  app.Select(0);
  app.Press(kIdDeleteButton);  // Second is now row 0 and nothing is selected
  app.Press(kIdCopyButton);
  EXPECT_TRUE(test::ListNames(dir / L"Second").empty());
}

TEST(Commands, FirstRunEndToEnd) {
  TempDir dir;
  test::AppWindow app(dir.path());
  EXPECT_EQ(app.RowCount(), 0);

  const std::wstring package = MakePackage(dir);
  app.pickerAnswers = {package};
  app.Press(kIdSetFolderButton);
  ASSERT_TRUE(app.package().set());

  const std::wstring library = MakeLibrary(dir);
  app.pickerAnswers = {library};
  app.Press(kIdAddButton);
  ASSERT_EQ(app.RowCount(), 2);
  EXPECT_EQ(app.StatusText(), L"Games: 2");
  const std::wstring alpha = library + L"\\steamapps\\common\\Alpha";
  EXPECT_EQ(app.Cell(0, 0), alpha);
  EXPECT_EQ(app.Cell(0, 5), L"Alpha Game");
  EXPECT_EQ(app.Cell(1, 5), L"Beta Game");
  EXPECT_EQ(app.Cell(0, 2), L"");

  app.Select(0);
  EXPECT_TRUE(app.Enabled(kIdCopyButton));
  app.Press(kIdCopyButton);
  EXPECT_EQ(app.Cell(0, 2), L"Copied");
  EXPECT_EQ(app.Cell(0, 3), L"1.2.3");
  EXPECT_EQ(app.Cell(0, 4), L"build 456");
  EXPECT_FALSE(test::DirExists(alpha + L"\\Licenses"));
  EXPECT_TRUE(app.Enabled(kIdInstallButton));
  EXPECT_FALSE(app.Enabled(kIdCopyButton));

  app.Press(kIdInstallButton);
  EXPECT_EQ(app.Cell(0, 2), L"Installed");
  EXPECT_TRUE(test::FileExists(alpha + L"\\dxgi.dll"));
  EXPECT_TRUE(app.Enabled(kIdUninstallButton));
  EXPECT_FALSE(app.Enabled(kIdInstallButton));

  app.Press(kIdUninstallButton);
  EXPECT_EQ(app.Cell(0, 2), L"");
  EXPECT_EQ(app.Cell(0, 3), L"");

  // The same flow where Copy puts the package (and its scripts) into
  // Binaries\Win64: Install and Uninstall find them there.
  const std::wstring beta = library + L"\\steamapps\\common\\Beta";
  EXPECT_EQ(app.Cell(1, 6), L"Binaries\\Win64");
  app.Select(1);
  app.Press(kIdCopyButton);
  EXPECT_EQ(app.Cell(1, 2), L"Copied");
  app.Press(kIdInstallButton);
  EXPECT_EQ(app.Cell(1, 2), L"Installed");
  EXPECT_TRUE(test::FileExists(beta + L"\\Binaries\\Win64\\dxgi.dll"));
  app.Press(kIdUninstallButton);
  EXPECT_EQ(app.Cell(1, 2), L"");
  EXPECT_FALSE(test::FileExists(beta + L"\\Binaries\\Win64\\dxgi.dll"));
  EXPECT_TRUE(app.boxes.boxes().empty()) << test::Utf8(app.boxes.boxes()[0].text);

  app.Close();
  const auto saved = ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini"));
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0], (GameListEntry{alpha, L"", L"Alpha Game"}));
  EXPECT_EQ(saved[1], (GameListEntry{beta, L"Binaries\\Win64", L"Beta Game"}));
  std::wstring path(1024, L'\0');
  GetPrivateProfileStringW(L"ZandRivell", L"Path", L"", path.data(), 1024, (dir / L"settings.ini").c_str());
  EXPECT_EQ(std::wstring(path.c_str()), package);
}

// ---- One command at a time --------------------------------------------------

// A library whose second game holds no executable, so Add Dir opens a box
// part-way, with Steam names for all three.
std::wstring MakeLibraryWithAGap(const TempDir& dir) {
  const std::wstring library = dir / L"SteamLibrary";
  for (const wchar_t* game : {L"Alpha", L"Empty", L"Gamma"}) {
    const std::wstring folder = library + L"\\steamapps\\common\\" + game;
    if (std::wstring(game) == L"Empty") {
      test::WriteFileBytes(folder + L"\\readme.txt", "no executable here");
    } else {
      CopyFixture(L"plain.exe", folder + L"\\" + game + L".exe");
    }
    test::WriteFileBytes(library + L"\\steamapps\\appmanifest_" + game + L".acf",
                         "\"AppState\"\n{\n\t\"name\"\t\t\"" + test::Utf8(game) + " Game\"\n\t\"installdir\"\t\t\"" +
                             test::Utf8(game) + "\"\n}\n");
  }
  return library;
}

TEST(OneCommandAtATime, CommandsPressedWhileABoxIsOpenAreRefused) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const std::wstring library = MakeLibraryWithAGap(dir);
  int pressedInside = 0;
  int enabledDuringTheAdd = -1;
  app.boxes.whileOpen = [&](const test::RecordedBox&) {
    if (++pressedInside == 1) {
      enabledDuringTheAdd = 0;
      for (int id : kAllButtons) enabledDuringTheAdd += app.Enabled(id);
    }
    app.Select(0);
    for (int id : {kIdDeleteButton, kIdAddButton, kIdRefreshButton, kIdSetFolderButton, kIdInstallButton}) {
      app.PressNow(id);
    }
    app.DoubleClick();
  };

  // Add Dir: the "no executable" box of the second game, shown while the add
  // runs in the background.
  app.pickerAnswers = {library, dir.path(), dir.path()};
  app.Press(kIdAddButton);
  EXPECT_EQ(pressedInside, 1);
  EXPECT_EQ(enabledDuringTheAdd, 0) << "every button looks as refused as it is";
  for (int id : {kIdAddButton, kIdRefreshButton, kIdSetFolderButton, kIdOpenButton}) EXPECT_TRUE(app.Enabled(id)) << id;
  EXPECT_EQ(app.pickerTitles.size(), 1u) << "no second picker while the add ran";
  EXPECT_TRUE(app.explored.empty());
  ASSERT_EQ(app.RowCount(), 3);
  EXPECT_EQ(app.Cell(2, 5), L"Gamma Game");

  // Install: "setup_windows.bat not found!" while the command runs on the UI
  // thread itself.
  app.Select(1);
  app.Press(kIdInstallButton);
  EXPECT_EQ(pressedInside, 2);
  EXPECT_EQ(app.RowCount(), 3);
  EXPECT_EQ(app.boxes.boxes().back().text, L"setup_windows.bat not found!");
  EXPECT_EQ(app.pickerTitles.size(), 1u);
  EXPECT_TRUE(app.explored.empty());
}

TEST(OneCommandAtATime, CloseWhileAnAddShowsABoxWaitsAndKeepsWhatWasAdded) {
  TempDir dir;
  const std::wstring library = MakeLibraryWithAGap(dir);
  test::AppWindow app(dir.path());
  bool stillOpen = false;
  app.boxes.whileOpen = [&](const test::RecordedBox&) {
    SendMessageW(app.window(), WM_CLOSE, 0, 0);
    stillOpen = IsWindow(app.window()) != FALSE;
  };
  app.pickerAnswers = {library};
  app.PressNow(kIdAddButton);
  const ULONGLONG until = GetTickCount64() + 30000;
  while (IsWindow(app.window()) && GetTickCount64() < until) test::PumpMessages(10);
  EXPECT_TRUE(stillOpen) << "the close waits for the add";
  EXPECT_FALSE(IsWindow(app.window())) << "and then goes ahead";
  const auto saved = ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini"));
  ASSERT_EQ(saved.size(), 1u) << "the games added before the box, and none after the close";
  EXPECT_EQ(saved[0].name, L"Alpha Game");
}

// Rows, boxes and catalogue of an add, however it ran.
struct AddResult {
  std::vector<std::vector<std::wstring>> rows;
  std::vector<std::wstring> boxes;
  std::vector<GameListEntry> games;
  std::wstring status;
  bool operator==(const AddResult&) const = default;
};

AddResult AddTwice(const TempDir& dir, const std::wstring& library, bool inBackground) {
  test::WriteFileBytes(dir / L"data.ini",
                       FormatGameListFile({{library + L"\\steamapps\\common\\Gamma", L"", L"Listed before"}}));
  test::AppWindow app(dir.path());
  for (int pick = 0; pick < 2; ++pick) {  // the second time everything is a duplicate
    if (inBackground) {
      app.pickerAnswers = {library};
      app.Press(kIdAddButton);
    } else {
      AddGameFolder(app.pane(), library);
    }
  }
  AddResult result;
  for (int row = 0; row < app.RowCount(); ++row) {
    result.rows.emplace_back();
    for (int column = 0; column < 7; ++column) result.rows.back().push_back(app.Cell(row, column));
  }
  for (const test::RecordedBox& box : app.boxes.boxes()) result.boxes.push_back(box.caption + L": " + box.text);
  for (int32_t i = 0; i < GameCount(); ++i) {
    result.games.push_back({GetGame(i)->path, GetGame(i)->exeFolder, GetGame(i)->name});
  }
  result.status = app.StatusText();
  return result;
}

TEST(OneCommandAtATime, AddDirInTheBackgroundGivesWhatTheSynchronousAddGives) {
  TempDir dir;
  const std::wstring library = MakeLibraryWithAGap(dir);
  const AddResult background = AddTwice(dir, library, true);
  const AddResult direct = AddTwice(dir, library, false);
  EXPECT_EQ(background, direct);
  ASSERT_EQ(background.rows.size(), 3u);
  EXPECT_EQ(background.boxes, (std::vector<std::wstring>{
                                  L"No executable found: The folder Empty contains no executable!",
                                  L"Duplicate: All Steam games from this folder are already in the list."}));
  EXPECT_EQ(background.status, L"Games: 3");
}

// While a script runs the window answers, says what runs, refuses commands
// and holds a close back until the script has ended.
TEST(OneCommandAtATime, ScriptRunsWhileTheWindowKeepsAnswering) {
  TempDir dir;
  const std::wstring game = dir / L"Slow Game";
  test::WriteFileBytes(game + L"\\setup_windows.bat",
                       "@echo off\r\nping -n 3 127.0.0.1 >nul\r\necho done> marker.txt\r\n");
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile({{game, L"", L"Slow"}}));
  test::AppWindow app(dir.path());
  app.Select(0);

  struct Seen {
    std::wstring status;
    bool answered = false;
    bool anyButtonEnabled = true;
  } seen;
  HWND window = app.window();
  HWND statusBar = app.statusBar();
  std::thread observer([&seen, window, statusBar] {
    const ULONGLONG until = GetTickCount64() + 20000;
    while (seen.status.find(L"Running") != 0 && GetTickCount64() < until) {
      wchar_t text[128] = {};
      DWORD_PTR unused = 0;
      SendMessageTimeoutW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, &unused);
      seen.status = text;
      Sleep(20);
    }
    DWORD_PTR result = 0;
    seen.answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result) != 0;
    seen.anyButtonEnabled = false;
    for (int id : kAllButtons) seen.anyButtonEnabled = seen.anyButtonEnabled || IsWindowEnabled(GetDlgItem(window, id));
    PostMessageW(window, WM_COMMAND, kIdRefreshButton, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
  });
  app.PressNow(kIdInstallButton);  // returns when the script has ended
  observer.join();
  EXPECT_EQ(seen.status, L"Running setup_windows.bat for Slow...");
  EXPECT_TRUE(seen.answered);
  EXPECT_FALSE(seen.anyButtonEnabled);
  EXPECT_EQ(test::ReadFileBytes(game + L"\\marker.txt"), "done\r\n");
  app.WaitUntilLoaded();
  EXPECT_FALSE(IsWindow(window)) << "the close held back went ahead after the script";
  EXPECT_EQ(ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini")).size(), 1u);
}

}  // namespace
}  // namespace zrcc
