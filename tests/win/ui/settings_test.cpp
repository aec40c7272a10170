// settings.ini against a real list view, path field and main window (hidden),
// and the opening geometry read back from a prepared file.
#include "ui/settings.h"

#include <windows.h>
#include <commctrl.h>
#include <shellscalingapi.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "core/settings_keys.h"
#include "core/settings_rules.h"
#include "platform/app_folder.h"
#include "ui/startup_geometry.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::TempDir;

// What a column is without a stored width: its default, settled.
int FreshWidth(int column) { return SettledColumnWidth(column, ColumnWidthKey(column).missing); }

std::wstring ReadKey(const std::wstring& file, const wchar_t* section, const std::wstring& key) {
  std::vector<wchar_t> buffer(4096, L'\0');
  GetPrivateProfileStringW(section, key.c_str(), L"<missing>", buffer.data(), 4096, file.c_str());
  return buffer.data();
}

void WriteKey(const std::wstring& file, const wchar_t* section, const std::wstring& key, const std::wstring& value) {
  WritePrivateProfileStringW(section, key.c_str(), value.c_str(), file.c_str());
}

std::wstring WindowText(HWND window) {
  std::vector<wchar_t> buffer(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
  return buffer.data();
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<test::HiddenListWindow>();
    main = window->window();
    list = window->list();
    path = CreateWindowExW(0, L"EDIT", L"(untouched)", WS_CHILD | ES_MULTILINE | ES_READONLY, 5, 11, 600, 25, main,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(path, nullptr);
    window->package().SetControls(path, nullptr, nullptr);
    host = {main, list, &window->package(), &settings, {}};
    SetAppFolderForTesting(dir.path());
    dpi = static_cast<int>(GetDpiForWindow(list));
    ASSERT_GT(dpi, 0);
  }
  void TearDown() override {
    SetAppFolderForTesting(L"");
    window.reset();
  }
  Package& package() { return window->package(); }

  std::wstring File() const { return dir / L"settings.ini"; }
  int ColumnWidth(int i) const {
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
  }
  // A package folder holding one of the test DLLs as ZandRivell.dll.
  std::wstring PackageWith(const wchar_t* fixture) {
    const std::wstring folder = dir / L"package";
    test::MakeDirs(folder);
    const std::wstring source = test::Fixture(fixture);
    EXPECT_TRUE(CopyFileW(source.c_str(), (folder + L"\\ZandRivell.dll").c_str(), FALSE)) << test::Utf8(source);
    return folder;
  }

  TempDir dir;
  std::unique_ptr<test::HiddenListWindow> window;
  HWND main = nullptr;
  HWND list = nullptr;
  HWND path = nullptr;
  int dpi = 96;
  WindowSettings settings;
  SettingsHost host;
};

TEST_F(SettingsTest, FreshStartUsesTheDefaultsAndLeavesNoFolderSet) {
  LoadSettings(host);
  for (int i = 0; i < kColumnCount; ++i) {
    EXPECT_EQ(settings.logicalColumnWidths[static_cast<size_t>(i)], FreshWidth(i)) << "column " << i;
    EXPECT_EQ(ColumnWidth(i), ScaleToDpi(FreshWidth(i), dpi)) << "column " << i;
  }
  EXPECT_EQ(WindowText(path), L"No path set");
  EXPECT_EQ(package().folder(), L"No path set");
  EXPECT_FALSE(package().set());
  EXPECT_FALSE(test::FileExists(File()));  // reading creates nothing
}

TEST_F(SettingsTest, SaveWritesAllFourteenKeysInOrder) {
  LoadSettings(host);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(ScaleToDpi(150, dpi), 0));
  SaveSettings(host);

  const std::wstring file = File();
  for (int i = 0; i < kColumnCount; ++i) {
    EXPECT_EQ(ReadKey(file, L"UI", ColumnWidthKey(i).name), std::to_wstring(i == 1 ? 150 : FreshWidth(i)))
        << "column " << i;
  }
  EXPECT_EQ(ReadKey(file, L"ZandRivell", L"Path"), L"No path set");
  RECT r{};
  GetWindowRect(main, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  EXPECT_EQ(ReadKey(file, L"Window", L"Left"), std::to_wstring(r.left));
  EXPECT_EQ(ReadKey(file, L"Window", L"Top"), std::to_wstring(r.top));
  EXPECT_EQ(ReadKey(file, L"Window", L"Width"), std::to_wstring(width));
  EXPECT_EQ(ReadKey(file, L"Window", L"Height"), std::to_wstring(height));
  EXPECT_EQ(ReadKey(file, L"Window", L"LogicalWidth"), std::to_wstring(width * 96 / dpi));
  EXPECT_EQ(ReadKey(file, L"Window", L"LogicalHeight"), std::to_wstring(height * 96 / dpi));

  // A new file is UTF-16 and keeps the keys in the order they are written.
  const std::string bytes = test::ReadFileBytes(file);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
  std::wstring text((bytes.size() - 2) / 2, L'\0');
  memcpy(text.data(), bytes.data() + 2, text.size() * 2);
  size_t at = 0;
  for (const wchar_t* key : {L"[UI]", L"Column0=", L"Column6=", L"[ZandRivell]", L"Path=", L"[Window]", L"Left=",
                             L"Top=", L"Width=", L"Height=", L"LogicalWidth=", L"LogicalHeight="}) {
    const size_t found = text.find(key, at);
    ASSERT_NE(found, std::wstring::npos) << test::Utf8(key);
    at = found;
  }
}

TEST_F(SettingsTest, StoredColumnWidthsAreSettled) {
  // What the file holds, and the number the profile functions read from it
  // (the rule that settles each is checked natively with its numbers).
  const wchar_t* written[kColumnCount] = {L"5000", L"10", L"-4", L"0", L"300", nullptr, L"nonsense"};
  const int read[kColumnCount] = {5000, 10, -4, 0, 300, ColumnWidthKey(5).missing, 0};
  for (int i = 0; i < kColumnCount; ++i) {
    if (written[i]) WriteKey(File(), L"UI", ColumnWidthKey(i).name, written[i]);
  }
  LoadSettings(host);
  for (int i = 0; i < kColumnCount; ++i) {
    const int expected = SettledColumnWidth(i, read[i]);
    EXPECT_EQ(settings.logicalColumnWidths[static_cast<size_t>(i)], expected) << "column " << i;
    EXPECT_EQ(ColumnWidth(i), ScaleToDpi(expected, dpi)) << "column " << i;
  }
  EXPECT_EQ(settings.logicalColumnWidths[0], ColumnWidthKey(0).most) << "a stored width beyond the key's range";
  EXPECT_EQ(settings.logicalColumnWidths[1], ColumnWidthKey(1).least) << "a stored width below the key's range";
}

TEST_F(SettingsTest, SavedPackageFolderIsAcceptedWhenItHoldsTheModDll) {
  const std::wstring folder = PackageWith(L"zandrivell.dll");
  WriteKey(File(), L"ZandRivell", L"Path", folder);
  LoadSettings(host);
  EXPECT_TRUE(package().set());
  EXPECT_EQ(package().folder(), folder);
  EXPECT_EQ(WindowText(path), folder);
  EXPECT_EQ(package().version(), L"1.2.3");
  EXPECT_EQ(package().build(), L"build 456");
}

TEST_F(SettingsTest, SavedPackageFolderWithAnotherDllIsRejectedButKept) {
  const std::wstring folder = PackageWith(L"plain.dll");
  WriteKey(File(), L"ZandRivell", L"Path", folder);
  LoadSettings(host);
  EXPECT_FALSE(package().set());
  EXPECT_EQ(WindowText(path), L"No path set");
  EXPECT_TRUE(package().version().empty());
  // The text read is written back unchanged.
  EXPECT_EQ(package().folder(), folder);
  SaveSettings(host);
  EXPECT_EQ(ReadKey(File(), L"ZandRivell", L"Path"), folder);
}

// Held open by another program at start, settings.ini reads as defaults,
// and those are not written over the user's settings at close.
TEST_F(SettingsTest, FileHeldOpenAtStartIsNotOverwrittenWithDefaults) {
  WriteKey(File(), L"UI", L"Column0", L"900");
  const std::string before = test::ReadFileBytes(File());
  {
    UniqueHandle held(CreateFileW(File().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LoadSettings(host);
  }
  SaveSettings(host);
  EXPECT_EQ(test::ReadFileBytes(File()), before);
}

TEST_F(SettingsTest, PackageFolderOfAnyLengthAndScriptSurvivesTheRoundTrip) {
  for (const std::wstring& folder :
       {test::Wide("D:\\Mods\\\xE6\x97\xA5\xE6\x9C\xAC \xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 \xF0\x9F\x8E\xAE"),
        L"D:\\" + std::wstring(300, L'a') + L"\\" + std::wstring(300, L'b')}) {
    package().Restore(folder);
    SaveSettings(host);
    package().Restore(L"");
    LoadSettings(host);
    EXPECT_EQ(package().folder(), folder) << test::Utf8(folder);
    EXPECT_FALSE(package().set());
  }
}

TEST_F(SettingsTest, MaximisedWindowStoresItsRestoredRectangle) {
  RECT normal{};
  GetWindowRect(main, &normal);
  ShowWindow(main, SW_MAXIMIZE);
  SaveSettings(host);
  ShowWindow(main, SW_HIDE);
  EXPECT_EQ(ReadKey(File(), L"Window", L"Left"), std::to_wstring(normal.left));
  EXPECT_EQ(ReadKey(File(), L"Window", L"Width"), std::to_wstring(normal.right - normal.left));
  EXPECT_EQ(ReadKey(File(), L"Window", L"Height"), std::to_wstring(normal.bottom - normal.top));
}

TEST(ScalingTest, MulDivRoundAgreesWithThePlatform) {
  const int values[] = {0, 1, -1, 2, 3, 7, -7, 25, 45, 96, 120, 144, 150, 767, -767, 100000, 65536,
                        INT_MAX, INT_MIN + 1, INT_MAX / 2, -(INT_MAX / 3)};
  for (int a : values) {
    for (int b : values) {
      for (int c : {96, 72, 144, 3, -2, 1, 0, -96, INT_MAX}) {
        ASSERT_EQ(MulDivRound(a, b, c), MulDiv(a, b, c)) << a << " * " << b << " / " << c;
      }
    }
  }
}

class StartupGeometryTest : public ::testing::Test {
 protected:
  void SetUp() override { SetAppFolderForTesting(dir.path()); }
  void TearDown() override { SetAppFolderForTesting(L""); }
  void Write(const wchar_t* key, int value) {
    WriteKey(dir / L"settings.ini", L"Window", key, std::to_wstring(value));
  }
  TempDir dir;
};

TEST_F(StartupGeometryTest, NoFileOpens1600By900WhereTheSystemChooses) {
  const WindowGeometry g = LoadWindowGeometry();
  EXPECT_EQ(g.x, static_cast<int>(CW_USEDEFAULT));
  EXPECT_EQ(g.y, static_cast<int>(CW_USEDEFAULT));
  EXPECT_EQ(g.width, 1600);
  EXPECT_EQ(g.height, 900);
}

TEST_F(StartupGeometryTest, SavedValuesAreScaledLimitedAndKeptOnTheWorkArea) {
  Write(L"Left", -30000);
  Write(L"Top", -30000);
  Write(L"Width", 50);
  Write(L"Height", 50);
  const HMONITOR monitor = MonitorFromPoint({-30000, -30000}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
  WindowGeometry g = LoadWindowGeometry();
  EXPECT_EQ(g.x, info.rcWork.left);
  EXPECT_EQ(g.y, info.rcWork.top);
  EXPECT_EQ(g.width, 200);
  EXPECT_EQ(g.height, 150);

  UINT dpiX = 96, dpiY = 96;
  GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY);
  Write(L"LogicalWidth", 1000);
  Write(L"LogicalHeight", 700);
  g = LoadWindowGeometry();
  EXPECT_EQ(g.width, static_cast<int>(1000 * dpiX / 96));
  EXPECT_EQ(g.height, static_cast<int>(700 * dpiY / 96));
}

}  // namespace
}  // namespace zrcc
