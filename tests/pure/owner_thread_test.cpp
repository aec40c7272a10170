// The catalogue belongs to one thread: the test programs make their main
// thread its owner, as the program makes its UI thread, and a call from any
// other thread stops the program naming the routine.
#include "core/owner_thread.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/catalogue.h"

namespace zrcc {
namespace {

class OwnerThreadEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    BindOwnerThread();
    SetOwnerChecksFatal(true);
  }
};

// gtest takes ownership of the environment.
[[maybe_unused]] ::testing::Environment* const gOwnerThreadEnvironment =
    ::testing::AddGlobalTestEnvironment(new OwnerThreadEnvironment);

TEST(OwnerThreadDeathTest, TheCatalogueReachedFromAnotherThreadStopsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EQ(GameCount(), GameCount()) << "the owner itself may";
  EXPECT_DEATH(std::thread([] { (void)GameCount(); }).join(), "GameCount runs off the UI thread");
  EXPECT_DEATH(std::thread([] { AddGame(Game{}); }).join(), "AddGame runs off the UI thread");
}

}  // namespace
}  // namespace zrcc
