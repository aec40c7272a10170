// The one thread that owns the program's shared state: the catalogue, the
// game list's rows, the package's state, the window and the saves. In the
// program that is the UI thread; background work gets its inputs as values
// and hands its results to that thread (platform/background_job.h).
//
// Every accessor of such state calls CheckOwnerThread, so that a change that
// reaches it from another thread fails loudly at once instead of corrupting
// the list now and then: in debug builds and in the test programs a breach
// stops the program with the name of the routine. Nothing is the owner
// before BindOwnerThread: a check made then fails too. Platform-free.
#pragma once

namespace zrcc {

// Makes the calling thread the owner. Binding again from the same thread
// changes nothing; from another thread it moves the ownership (a test
// program that makes its windows on a thread of its own).
void BindOwnerThread();

// Whether the calling thread is the owner; false while none is bound.
bool OnOwnerThread();

// Reports the calling routine when it runs on any thread but the owner.
// Fatal in debug builds and once SetOwnerChecksFatal(true) was called (the
// test programs do); otherwise the breach is written to standard error and
// the call goes on, so that a release build never loses a list to a check.
void CheckOwnerThread(const char* routine = __builtin_FUNCTION());

void SetOwnerChecksFatal(bool fatal);

}  // namespace zrcc
