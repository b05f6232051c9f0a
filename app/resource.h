#pragma once
// Resource identifiers of the program; the icon has the lowest. A button glyph drawn for 150 %
// and 200 % displays (24 and 32 pixels) has its identifier plus 100 and plus 200.

#define IDI_QUORVEL 1
#define IDB_TRACKARTISTS 101
#define IDB_LOAD 102
#define IDB_SAVE 103
#define IDB_END 104
#define IDB_TRACKARTISTS_24 201
#define IDB_LOAD_24 202
#define IDB_SAVE_24 203
#define IDB_END_24 204
#define IDB_TRACKARTISTS_32 301
#define IDB_LOAD_32 302
#define IDB_SAVE_32 303
#define IDB_END_32 304
