#include "core/owner_thread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace zrcc {

namespace {

std::atomic<std::thread::id> gOwner{};

#ifdef NDEBUG
std::atomic<bool> gFatal{false};
#else
std::atomic<bool> gFatal{true};
#endif

}  // namespace

void BindOwnerThread() { gOwner = std::this_thread::get_id(); }

bool OnOwnerThread() {
  const std::thread::id owner = gOwner.load();
  return owner != std::thread::id() && owner == std::this_thread::get_id();
}

void CheckOwnerThread(const char* routine) {
  if (OnOwnerThread()) return;
  std::fprintf(stderr, "Thread check failed: %s runs off the UI thread, which alone owns the list and the window\n",
               routine ? routine : "?");
  std::fflush(stderr);
  if (gFatal.load()) std::abort();
}

void SetOwnerChecksFatal(bool fatal) { gFatal = fatal; }

}  // namespace zrcc
