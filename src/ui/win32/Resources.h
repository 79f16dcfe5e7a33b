// Resource IDs shared by Dornava.rc and the code; plain defines, as the resource compiler reads
// this file too.
#pragma once

// The first icon group is the one the shell shows for the executable.
#define IDI_DORNAVA 1
#define IDB_BANNER 101
