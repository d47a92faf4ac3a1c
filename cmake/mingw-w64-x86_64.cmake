# Cross toolchain for the Windows build: MinGW-w64, x86_64, posix threads model
# (the win32 model lacks std::thread and friends that GoogleTest wants).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FABLEWICK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${FABLEWICK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FABLEWICK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${FABLEWICK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FABLEWICK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# A static runtime, so Fablewick.exe and the test programs need no MinGW DLLs
# beside them, neither on a user's machine nor in the Wine prefix.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
