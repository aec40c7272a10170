// Entry point of ZandRivell Control Center.
#include <windows.h>

#include "ui/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  return zrcc::RunApplication(instance, showCommand);
}
