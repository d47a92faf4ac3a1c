# A second compiler for the Windows build: Debian's clang 16 targeting
# MinGW-w64 x86_64, with the MinGW GCC's runtime and libstdc++ (posix threads
# model, as the GCC build) and LLVM's linker. scripts/build-clang builds the
# tree with it; one compiler's silence is not the other's.
# clang 14 will not do: libstdc++ 12's std::source_location needs a builtin
# it lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FABLEWICK_MINGW_PREFIX x86_64-w64-mingw32)
set(FABLEWICK_MINGW_GCC /usr/lib/gcc/${FABLEWICK_MINGW_PREFIX}/12-posix)
set(CMAKE_C_COMPILER clang-16)
set(CMAKE_CXX_COMPILER clang++-16)
set(CMAKE_C_COMPILER_TARGET ${FABLEWICK_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${FABLEWICK_MINGW_PREFIX})
set(CMAKE_RC_COMPILER ${FABLEWICK_MINGW_PREFIX}-windres)
set(CMAKE_AR ${FABLEWICK_MINGW_PREFIX}-ar)
set(CMAKE_RANLIB ${FABLEWICK_MINGW_PREFIX}-ranlib)
set(CMAKE_OBJDUMP ${FABLEWICK_MINGW_PREFIX}-objdump)
set(CMAKE_SYSROOT /usr/${FABLEWICK_MINGW_PREFIX})

set(CMAKE_FIND_ROOT_PATH /usr/${FABLEWICK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# clang finds the MinGW headers in the sysroot but no libstdc++ there: GCC's
# folders are named (for compiling only), and the GCC folder, which also
# holds crtbegin.o, libgcc and libstdc++.a, is given to the link.
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
  ${FABLEWICK_MINGW_GCC}/include/c++
  ${FABLEWICK_MINGW_GCC}/include/c++/${FABLEWICK_MINGW_PREFIX}
  ${FABLEWICK_MINGW_GCC}/include/c++/backward)
# A static runtime, as in the GCC build, linked by LLVM 16's linker (ld.lld
# may be an older one, which refuses clang 16's objects). -pthread puts winpthread inside the
# runtime's link group, where libstdc++'s threads find it.
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-static -static-libgcc -static-libstdc++ -fuse-ld=lld --ld-path=/usr/lib/llvm-16/bin/ld.lld -pthread -B${FABLEWICK_MINGW_GCC} -L${FABLEWICK_MINGW_GCC}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
