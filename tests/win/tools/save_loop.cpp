// Saves an ever-changing game list into a folder, as fast as it can, until it
// is killed. The fault-injection test kills it at random moments and checks
// that data.ini is always a whole list.
//
//   zrcc-save-loop <folder>
//
// Generation g holds ListSize(g) games; every name carries the generation, so
// a reader can tell which whole list it sees.
#include <windows.h>

#include <string>

#include "core/catalogue.h"
#include "core/owner_thread.h"
#include "helpers/data_file.h"
#include "platform/app_folder.h"
#include "tools/save_loop_list.h"

using namespace zrcc;

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  SetAppFolderForTesting(argv[1]);
  BindOwnerThread();
  SaveFailure failure;
  for (unsigned generation = 0;; ++generation) {
    ClearGames();
    for (const Game& game : SaveLoopList(generation)) AddGame(game);
    SaveGameList(failure);
  }
}
