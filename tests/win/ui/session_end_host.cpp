// The host of the window that tests/win/session_end_test.sh ends the Windows
// session under; skipped in every other run.
#include <gtest/gtest.h>

#include "core/control_ids.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

TEST(SessionEnd, WindowWaitsForTheEndOfTheSession) {
  wchar_t buffer[32768] = {};
  if (!GetEnvironmentVariableW(L"ZRCC_SESSION_FOLDER", buffer, 32768)) {
    GTEST_SKIP() << "the window for tests/win/session_end_test.sh";
  }
  const std::wstring folder = buffer;
  test::AppWindow app(folder);
  app.pickerAnswers = {folder + L"\\SteamLibrary"};
  app.Press(kIdAddButton);
  ASSERT_EQ(app.RowCount(), 2);
  // From here on only the end of the session writes the two files.
  DeleteFileW((folder + L"\\data.ini").c_str());
  DeleteFileW((folder + L"\\settings.ini").c_str());
  test::WriteFileBytes(folder + L"\\ready", "");
  test::PumpMessages(90000);
  FAIL() << "the session did not end";
}

}  // namespace
}  // namespace zrcc
