#pragma once
// Resource identifiers of the program; the icon has the lowest.

#define IDI_QUORVEL 1
#define IDB_TRACKARTISTS 101
#define IDB_LOAD 102
#define IDB_SAVE 103
#define IDB_END 104
