// The real main window: its controls, layout, cursor, column floor and what
// it writes when it is destroyed.
#include "ui/main_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "helpers/loader.h"
#include "platform/app_state.h"
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

void ExpectRect(const RECT& r, int x, int y, int w, int h, const char* what) {
  EXPECT_EQ(r.left, x) << what;
  EXPECT_EQ(r.top, y) << what;
  EXPECT_EQ(r.right - r.left, w) << what;
  EXPECT_EQ(r.bottom - r.top, h) << what;
}

TEST(MainWindow, ControlsSitWhereTheLayoutPutsThemAt96Dpi) {
  TempDir dir;
  test::AppWindow app(dir.path());
  ASSERT_EQ(CurrentWindowDpi(), 96u) << "these numbers are for 96 DPI";
  ExpectRect(app.ClientRectOf(app.control(kIdPathField)), 5, 11, 600, 25, "path field");
  ExpectRect(app.ClientRectOf(app.control(kIdSetFolderButton)), 613, 11, 150, 25, "set folder");
  ExpectRect(app.ClientRectOf(app.control(kIdVersionField)), 5, 44, 100, 25, "version");
  ExpectRect(app.ClientRectOf(app.control(kIdBuildField)), 113, 44, 400, 25, "build");
  ExpectRect(app.ClientRectOf(app.control(kIdCopyButton)), 521, 44, 130, 25, "copy");
  ExpectRect(app.ClientRectOf(app.control(kIdInstallButton)), 659, 44, 130, 25, "install");
  ExpectRect(app.ClientRectOf(app.control(kIdUninstallButton)), 797, 44, 130, 25, "uninstall");

  RECT client{}, status{};
  GetClientRect(app.window(), &client);
  GetClientRect(gStatusBar, &status);
  const int barTop = client.bottom - status.bottom - 45;
  const RECT list = app.ClientRectOf(gListView);
  EXPECT_EQ(list.top, 80);
  EXPECT_EQ(list.bottom, barTop);
  EXPECT_EQ(list.right - list.left, client.right);
  const int y = barTop + 10;
  ExpectRect(app.ClientRectOf(app.control(kIdAddButton)), 8, y, 90, 25, "add");
  ExpectRect(app.ClientRectOf(app.control(kIdOpenButton)), 106, y, 90, 25, "open");
  ExpectRect(app.ClientRectOf(app.control(kIdDeleteButton)), 204, y, 90, 25, "delete");
  ExpectRect(app.ClientRectOf(app.control(kIdRefreshButton)), 312, y, 90, 25, "refresh");

  EXPECT_EQ(app.StatusText(), L"Ready");
  EXPECT_EQ(app.PathFieldText(), L"No path set");
  EXPECT_TRUE(app.Enabled(kIdAddButton));
  EXPECT_TRUE(app.Enabled(kIdRefreshButton));
  EXPECT_TRUE(app.Enabled(kIdSetFolderButton));
  for (int id : {kIdOpenButton, kIdDeleteButton, kIdCopyButton, kIdInstallButton, kIdUninstallButton}) {
    EXPECT_FALSE(app.Enabled(id)) << id;
  }
  wchar_t cls[64] = {};
  GetClassNameW(app.window(), cls, 64);
  EXPECT_STREQ(cls, L"MyWindowClass");
  EXPECT_TRUE(GetWindowLongW(app.window(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(MainWindow, DestroyWritesTheListAndAllFourteenSettings) {
  TempDir dir;
  {
    test::AppWindow app(dir.path());
    SetWindowPos(app.window(), nullptr, 10, 20, 1000, 700, SWP_NOZORDER);
    app.Close();
  }
  const std::wstring settings = dir / L"settings.ini";
  EXPECT_EQ(KeyCount(settings, L"UI"), 7);
  EXPECT_EQ(KeyCount(settings, L"ZandRivell"), 1);
  EXPECT_EQ(KeyCount(settings, L"Window"), 6);
  EXPECT_EQ(Ini(settings, L"ZandRivell", L"Path"), L"No path set");
  const wchar_t* widths[] = {L"767", L"71", L"73", L"112", L"290", L"70", L"100"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Ini(settings, L"UI", (L"Column" + std::to_wstring(i)).c_str()), widths[i]) << i;
  }
  EXPECT_EQ(Ini(settings, L"Window", L"Left"), L"10");
  EXPECT_EQ(Ini(settings, L"Window", L"Width"), L"1000");
  EXPECT_EQ(Ini(settings, L"Window", L"LogicalHeight"), L"700");
  EXPECT_EQ(test::ReadFileBytes(dir / L"data.ini"), "\xEF\xBB\xBF");
}

TEST(MainWindow, WaitCursorOnlyWhileLoading) {
  TempDir dir;
  test::AppWindow app(dir.path());
  isLoading = true;
  EXPECT_EQ(SendMessageW(app.window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(app.window()), HTCLIENT), TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  SendMessageW(app.window(), kLoadFinishedMessage, 0, 0);
  EXPECT_FALSE(isLoading);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST(MainWindow, ColumnsCannotBeDraggedBelowSeventyPixels) {
  TempDir dir;
  test::AppWindow app(dir.path());
  HWND header = reinterpret_cast<HWND>(SendMessageW(gListView, LVM_GETHEADER, 0, 0));
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
  isLoading = true;  // as if a load were running
  SendMessageW(app.window(), WM_COMMAND, kIdAddButton, 0);
  SendMessageW(app.window(), WM_COMMAND, kIdRefreshButton, 0);
  EXPECT_TRUE(app.pickerTitles.empty());
  EXPECT_FALSE(BackgroundJobRunning());
  isLoading = false;
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
  test::CopyFileOrFail(test::TestProgramFolder() + L"\\fixtures\\zandrivell.dll", games[1] + L"\\ZandRivell.dll");
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

}  // namespace
}  // namespace zrcc
