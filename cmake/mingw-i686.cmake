# Cross-compiles for 32-bit Windows with MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUORVEL_TRIPLE i686-w64-mingw32)
set(QUORVEL_WINE_ARCH 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
