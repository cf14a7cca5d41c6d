// The main part's shared records and the work bitmaps every part draws into.
#include "state.h"

flags_record flags;
snap_record snap;
std::mutex ZE_tick_lock;
BITMAP *screenbuf;
BITMAP *construct;
