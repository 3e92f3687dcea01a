# Cross-compiling for 64-bit Windows with mingw-w64 from a Debian host.
# Test executables run under Wine through scripts/wine-run.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMAR_MINGW_TRIPLET x86_64-w64-mingw32)

# The -posix compilers: GoogleTest needs std::mutex and std::thread, which the
# win32 thread model of mingw-w64 lacks.
set(CMAKE_C_COMPILER ${VELMAR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMAR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMAR_MINGW_TRIPLET}-windres)

# Headers and libraries come from the mingw-w64 sysroot, build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VELMAR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: the C++ runtime, libgcc and winpthread are linked in,
# so only system DLLs remain. This has to be the initial value of the linker
# flags: flags added later in a CMakeLists miss the targets defined before them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest (and gtest discovery) start every test executable through Wine.
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
