# Shared part of the two MinGW-w64 toolchain files; MINGW_TRIPLE is set by the caller.
# -DMOSKEL_COMPILER=clang builds with Debian's Clang instead of GCC, against the same sysroot and
# GCC's C++ library, so that code only one compiler accepts is caught.
set(MOSKEL_COMPILER gcc CACHE STRING "gcc or clang")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MOSKEL_COMPILER)
if(MOSKEL_COMPILER STREQUAL "clang")
    set(CMAKE_C_COMPILER clang)
    set(CMAKE_CXX_COMPILER clang++)
    set(CMAKE_C_COMPILER_TARGET ${MINGW_TRIPLE})
    set(CMAKE_CXX_COMPILER_TARGET ${MINGW_TRIPLE})
    # Clang does not look in Debian's "<version>-posix" folder of GCC: name its C++ headers and
    # libraries.
    file(GLOB gcc_folders /usr/lib/gcc/${MINGW_TRIPLE}/*-posix)
    list(SORT gcc_folders COMPARE NATURAL ORDER DESCENDING)
    list(GET gcc_folders 0 gcc_folder)
    set(CMAKE_CXX_FLAGS_INIT
        "-isystem ${gcc_folder}/include/c++ -isystem ${gcc_folder}/include/c++/${MINGW_TRIPLE}")
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${gcc_folder}")
else()
    set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
    set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
endif()
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under Wine, through tools/wine, which picks the loader for the architecture; tools/test
# provides the prefix and the display.
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine ABSOLUTE)
