// The catalogue, the rows and the dialogs belong to the UI thread: a job that
// reaches for them stops the program at once, naming the routine, instead of
// corrupting the list now and then.
#include <gtest/gtest.h>

#include "core/catalogue.h"
#include "platform/background_job.h"
#include "platform/dialogs.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

// Starts a job whose work does `breach`, and waits for it as the window would.
template <typename Breach>
void RunAsJob(Breach breach) {
  StartBackgroundJob([breach](JobContext&) { breach(); });
  while (BackgroundJobRunning()) test::PumpMessages(10);
}

TEST(OwnerThreadDeathTest, AJobReachingForUiStateStopsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(RunAsJob([] { (void)GameCount(); }), "GameCount runs off the UI thread");
  EXPECT_DEATH(RunAsJob([] { ShowMessageBox(nullptr, L"from a job", L"Error", MB_OK); }),
               "ShowMessageBox runs off the UI thread");
  // What the job posts instead is carried out on the UI thread.
  int32_t seen = -1;
  StartBackgroundJob([&seen](JobContext& job) { job.Post([&seen] { seen = GameCount(); }); });
  while (isLoading()) test::PumpMessages(10);
  EXPECT_EQ(seen, GameCount());
}

}  // namespace
}  // namespace zrcc
