#pragma once
// Resource ids of the program's own .rc file (the pictures have theirs in
// info_windows_ids.h).
#define kIconMain 1
