# Cross build for Windows on ARM64 with Debian's Clang and lld-link, against the MinGW-w64 headers.
# Debian has no C or C++ runtime and no import libraries for this target: the build makes its
# import libraries from cmake/imports, and builds only what needs no runtime (the saver and the
# ARM64 test lane's helper).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(MINGW_TRIPLE aarch64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${MINGW_TRIPLE})
set(CMAKE_C_FLAGS_INIT "-isystem /usr/share/mingw-w64/include")
set(CMAKE_CXX_FLAGS_INIT "-isystem /usr/share/mingw-w64/include")
set(CMAKE_LINKER lld-link)
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/aarch64-link-rules.cmake)
# Only the libraries a target names: CMake's default list names DLLs with no import library here.
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "")
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "")
# Without a runtime no test program links: the compiler checks build a library instead.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# Resources do not depend on the machine: the x86 windres writes a .res file, which lld-link takes
# as it is (the later -O wins over the -O coff of CMake's rule).
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_RC_FLAGS_INIT "-O res")
find_program(MOSKEL_DLLTOOL NAMES llvm-dlltool REQUIRED)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine ABSOLUTE)
