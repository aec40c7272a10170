// Background loading of the game list: data.ini is read into the catalogue
// on a job thread (background_job.h), every game is checked on disk, and rows
// appear one by one while the window stays responsive.
#pragma once

#include "platform/background_job.h"

namespace zrcc {

// Starts a load unless a job is running (then it does nothing and returns
// false). UI thread only.
bool LaunchAsyncLoadData();

// The load itself, as the job thread runs it. Stopped part-way (the window
// closing), it leaves every game of the file in the catalogue: the checked
// ones with their rows, the unchecked ones after them without rows, so that
// the save at exit loses none.
void LoadData();

}  // namespace zrcc
