// Entry point of the Windows test programs (built with -municode). The main
// thread is the UI thread, as in the program, and a breach of that is fatal.
#include <gtest/gtest.h>

#include "core/owner_thread.h"
#include "platform/ui_thread.h"

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  zrcc::BindUiThread();
  zrcc::SetOwnerChecksFatal(true);
  return RUN_ALL_TESTS();
}
