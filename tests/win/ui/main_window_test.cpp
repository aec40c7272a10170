// The real main window: its controls, layout, cursor, column floor and what
// it writes when it is destroyed.
#include "ui/main_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/game_list_file.h"
#include "core/layout.h"
#include "core/settings_keys.h"
#include "core/settings_rules.h"
#include "helpers/loader.h"
#include "platform/background_job.h"
#include "ui/startup.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

using test::TempDir;

std::wstring Ini(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  std::wstring buffer(1024, L'\0');
  GetPrivateProfileStringW(section, key, L"<missing>", buffer.data(), 1024, file.c_str());
  return buffer.c_str();
}

int KeyCount(const std::wstring& file, const wchar_t* section) {
  std::wstring buffer(8192, L'\0');
  const DWORD n = GetPrivateProfileSectionW(section, buffer.data(), 8192, file.c_str());
  int keys = 0;
  for (DWORD i = 0; i < n; ++i) {
    if (buffer[i] == L'\0') ++keys;
  }
  return keys;
}

void ExpectRect(const RECT& r, const Rect& expected, const char* what) {
  EXPECT_EQ(r.left, expected.x) << what;
  EXPECT_EQ(r.top, expected.y) << what;
  EXPECT_EQ(r.right - r.left, expected.w) << what;
  EXPECT_EQ(r.bottom - r.top, expected.h) << what;
}

// The real controls stand where the layout arithmetic (whose numbers are
// checked natively) puts them for the window's DPI and client size.
TEST(MainWindow, ControlsSitWhereTheLayoutPutsThem) {
  TempDir dir;
  test::AppWindow app(dir.path());
  const int dpi = static_cast<int>(app.main().dpi());
  const TopBandLayout band = LayoutTopBandRects(dpi);
  ExpectRect(app.ClientRectOf(app.control(kIdPathField)), band.pathField, "path field");
  ExpectRect(app.ClientRectOf(app.control(kIdSetFolderButton)), band.setFolder, "set folder");
  ExpectRect(app.ClientRectOf(app.control(kIdVersionField)), band.versionField, "version");
  ExpectRect(app.ClientRectOf(app.control(kIdBuildField)), band.buildField, "build");
  ExpectRect(app.ClientRectOf(app.control(kIdCopyButton)), band.copy, "copy");
  ExpectRect(app.ClientRectOf(app.control(kIdInstallButton)), band.install, "install");
  ExpectRect(app.ClientRectOf(app.control(kIdUninstallButton)), band.uninstall, "uninstall");

  RECT client{}, status{};
  GetClientRect(app.window(), &client);
  GetClientRect(app.statusBar(), &status);
  const ClientLayout layout = LayoutClient(dpi, client.right, client.bottom, status.bottom);
  ExpectRect(app.ClientRectOf(app.list()), layout.listView, "list");
  ExpectRect(app.ClientRectOf(app.control(kIdAddButton)), layout.addDir, "add");
  ExpectRect(app.ClientRectOf(app.control(kIdOpenButton)), layout.openDir, "open");
  ExpectRect(app.ClientRectOf(app.control(kIdDeleteButton)), layout.delDir, "delete");
  ExpectRect(app.ClientRectOf(app.control(kIdRefreshButton)), layout.refresh, "refresh");

  EXPECT_EQ(app.StatusText(), L"Games: 0");  // the load found no list
  EXPECT_EQ(app.PathFieldText(), L"No path set");
  EXPECT_TRUE(app.Enabled(kIdAddButton));
  EXPECT_TRUE(app.Enabled(kIdRefreshButton));
  EXPECT_TRUE(app.Enabled(kIdSetFolderButton));
  for (int id : {kIdOpenButton, kIdDeleteButton, kIdCopyButton, kIdInstallButton, kIdUninstallButton}) {
    EXPECT_FALSE(app.Enabled(id)) << id;
  }
  EXPECT_TRUE(GetWindowLongW(app.window(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// Made as small as the window lets itself be made, with its real frame and
// status bar, it still shows every button whole.
TEST(MainWindow, SmallestWindowShowsEveryButtonWhole) {
  TempDir dir;
  test::AppWindow app(dir.path());
  MINMAXINFO limits{};
  SendMessageW(app.window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  SetWindowPos(app.window(), nullptr, 0, 0, limits.ptMinTrackSize.x, limits.ptMinTrackSize.y, SWP_NOZORDER);
  RECT client{}, status{};
  GetClientRect(app.window(), &client);
  GetClientRect(app.statusBar(), &status);
  for (int id : {kIdSetFolderButton, kIdUninstallButton, kIdAddButton, kIdRefreshButton}) {
    const RECT r = app.ClientRectOf(app.control(id));
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom - status.bottom) << id;
  }
}

TEST(MainWindow, DestroyWritesTheListAndEverySetting) {
  TempDir dir;
  {
    test::AppWindow app(dir.path());
    SetWindowPos(app.window(), nullptr, 10, 20, 1000, 700, SWP_NOZORDER);
    app.Close();
  }
  const std::wstring settings = dir / L"settings.ini";
  // Every key of the table and nothing else; a fresh start writes what a
  // missing key reads as, settled.
  for (const wchar_t* section : {L"UI", L"ZandRivell", L"Window"}) {
    int keys = 0;
    for (const SettingKey& key : kSettingKeys) keys += std::wstring(key.section) == section;
    EXPECT_EQ(KeyCount(settings, section), keys) << test::Utf8(section);
  }
  EXPECT_EQ(Ini(settings, L"ZandRivell", L"Path"), PackageFolderKey().missingText);
  for (int i = 0; i < kColumnCount; ++i) {
    EXPECT_EQ(Ini(settings, L"UI", ColumnWidthKey(i).name), std::to_wstring(SettledColumnWidth(i, 0))) << i;
  }
  EXPECT_EQ(Ini(settings, L"Window", L"Left"), L"10");
  EXPECT_EQ(Ini(settings, L"Window", L"Width"), L"1000");
  EXPECT_EQ(Ini(settings, L"Window", L"LogicalHeight"), L"700");
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.ini"), "\xEF\xBB\xBF");
}

// The end of the Windows session saves both files even while a box the load
// asked for is open, when the load cannot be waited for (it waits for the box).
TEST(MainWindow, EndOfTheSessionDuringALoadsBoxSavesBothFiles) {
  TempDir dir;
  std::vector<GameListEntry> list;
  for (const wchar_t* name : {L"A", L"B"}) {
    test::WriteFileBytes(dir / (L"Games\\" + std::wstring(name) + L"\\f"), "x");
    list.push_back({dir / (L"Games\\" + std::wstring(name)), L"bin", name});  // gone "bin": a warning
  }
  test::AppWindow app(dir.path());
  test::WriteFileBytes(dir / L"data.ini", FormatGameListFile(list));
  app.boxes.whileOpen = [&](const test::RecordedBox&) {
    DeleteFileW((dir / L"data.ini").c_str());
    SendMessageW(app.window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  };
  ASSERT_TRUE(LaunchAsyncLoadData(app.pane()));
  app.WaitUntilLoaded();
  EXPECT_EQ(app.boxes.boxes().size(), 1u) << "the load stopped at the end of the session";
  EXPECT_EQ(ReadGameListEntries(test::ReadFileBytes(dir / L"data.ini")), list);
  EXPECT_EQ(Ini(dir / L"settings.ini", L"ZandRivell", L"Path"), PackageFolderKey().missingText);
}

TEST(MainWindow, WaitCursorOnlyWhileLoading) {
  TempDir dir;
  test::AppWindow app(dir.path());
  SetLoadingForTesting(true);
  EXPECT_EQ(SendMessageW(app.window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(app.window()), HTCLIENT), TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  // The job's end, as it reaches the window.
  SetLoadingForTesting(false);
  SendMessageW(app.window(), kLoadFinishedMessage, 0, 0);
  EXPECT_FALSE(isLoading());
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST(MainWindow, ColumnsCannotBeDraggedBelowSeventyPixels) {
  TempDir dir;
  test::AppWindow app(dir.path());
  HWND header = reinterpret_cast<HWND>(SendMessageW(app.list(), LVM_GETHEADER, 0, 0));
  for (int requested : {69, 10, 70, 200}) {
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    item.cxy = requested;
    NMHEADERW change{};
    change.hdr.hwndFrom = header;
    change.hdr.code = HDN_ITEMCHANGINGW;
    change.pitem = &item;
    SendMessageW(app.window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(item.cxy, requested < 70 ? 70 : requested);
  }
}

TEST(MainWindow, CommandsThatTouchTheListWaitWhileALoadRuns) {
  TempDir dir;
  test::AppWindow app(dir.path());
  app.pickerAnswers = {dir.path()};
  SetLoadingForTesting(true);  // as if a load were running
  SendMessageW(app.window(), WM_COMMAND, kIdAddButton, 0);
  SendMessageW(app.window(), WM_COMMAND, kIdRefreshButton, 0);
  EXPECT_TRUE(app.pickerTitles.empty());
  EXPECT_FALSE(BackgroundJobRunning());
  SetLoadingForTesting(false);
}

}  // namespace
}  // namespace zrcc

namespace zrcc {
namespace {

// Writes a 24-bit BMP of what the window shows now.
bool SaveWindowPicture(HWND window, const std::wstring& file) {
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
  std::string pixels(static_cast<size_t>(stride) * static_cast<size_t>(h), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes += pixels;
  test::WriteFileBytes(file, bytes);
  return true;
}

// A picture of the window after a load, kept as a test artefact in
// <build>/artifacts/main-window.bmp for a person to look at.
TEST(MainWindow, PictureAfterALoad) {
  TempDir dir;
  std::string list;
  std::vector<std::wstring> games;
  for (const wchar_t* name : {L"Iron Coast 2077", L"Halcyon", L"The Wanderer 3"}) {
    const std::wstring game = dir / (std::wstring(L"Library\\") + name);
    test::WriteFileBytes(game + L"\\data\\pak0", std::string(150000, 'x'));
    games.push_back(game);
  }
  test::CopyFileOrFail(test::Fixture(L"zandrivell.dll"), games[1] + L"\\ZandRivell.dll");
  test::WriteFileBytes(dir / L"data.ini",
                       "[Line0]\nPath=" + test::Utf8(games[0]) + "\nExeFolder=\nName=Iron Coast 2077\n"
                       "[Line1]\nPath=" + test::Utf8(games[1]) + "\nName=Halcyon\n"
                       "[Line2]\nPath=" + test::Utf8(games[2]) + "\nName=The Wanderer 3\n");
  test::AppWindow app(dir.path());
  ASSERT_EQ(app.RowCount(), 3);
  RedrawWindow(app.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASE);
  test::PumpMessages(200);
  EXPECT_TRUE(SaveWindowPicture(app.window(), test::TestProgramFolder() + L"\\artifacts\\main-window.bmp"));
}

// A second start while the window, closing, reports that the list could not
// be saved leaves it closing: it is not shown again.
TEST(MainWindow, SecondStartDoesNotBringAClosingWindowBack) {
  TempDir dir;
  const std::wstring list = dir / L"data.ini";
  test::WriteFileBytes(list, FormatGameListFile({}));
  ASSERT_TRUE(SetFileAttributesW(list.c_str(), FILE_ATTRIBUTE_READONLY));
  test::AppWindow app(dir.path());
  const HWND window = app.window();
  int boxes = 0;
  bool shownAgain = true;
  app.boxes.whileOpen = [&](const test::RecordedBox&) {
    ++boxes;
    ActivateRunningCopy();
    shownAgain = IsWindowVisible(window) != FALSE;
  };
  app.Close();
  SetFileAttributesW(list.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(boxes, 1);
  EXPECT_FALSE(shownAgain);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace zrcc
