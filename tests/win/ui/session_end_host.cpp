// The window whose Windows session tests/win/session_end_test.sh ends;
// skipped in every other run.
#include <gtest/gtest.h>

#include "core/control_ids.h"
#include "win/ui/app_window.h"

namespace zrcc {
namespace {

TEST(SessionEnd, WindowWaitsForTheEndOfTheSession) {
  wchar_t folder[4096] = {};
  if (!GetEnvironmentVariableW(L"ZRCC_SESSION_FOLDER", folder, 4096)) GTEST_SKIP() << "run by session_end_test.sh";
  const std::wstring dir = folder;
  test::AppWindow app(dir);
  app.pickerAnswers = {dir + L"\\SteamLibrary"};
  app.Press(kIdAddButton);
  ASSERT_EQ(app.RowCount(), 2);
  DeleteFileW((dir + L"\\data.ini").c_str());  // only the end of the session writes it again
  test::WriteFileBytes(dir + L"\\ready", "");
  test::PumpMessages(90000);
  FAIL() << "the session did not end";
}

}  // namespace
}  // namespace zrcc
