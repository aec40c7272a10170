// Stands in for a running game: a test copies it into a game folder, starts
// it there and ends it. It only waits, two minutes at most, so that a test
// that fails before ending it leaves nothing running for long.
#include <windows.h>

int wmain() {
  Sleep(2 * 60 * 1000);
  return 0;
}
