set(CMAKE_C_COMPILER ${QUORVEL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVEL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVEL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUORVEL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every Windows executable the build makes (the editor, the tests) runs under the Wine of
# its own architecture, with the Japanese locale, through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec ${QUORVEL_WINE_ARCH})
