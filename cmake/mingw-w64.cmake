# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64-posix). The posix thread model is required: the win32
# one has no std::mutex or std::thread, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BQ_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BQ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BQ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BQ_MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw-w64 tree only, never from the
# build machine's /usr/include or /usr/lib; programs (the emulator, scripts)
# from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${BQ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every .exe carries its C++ runtime and winpthreads, so it needs only the
# DLLs that come with Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
