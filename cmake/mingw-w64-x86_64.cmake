# Toolchain file: 64-bit Windows with Debian's mingw-w64 (posix threads),
# against the static Qt that scripts/windows-toolchain.sh builds. Pass the
# Qt folder as KESTRELPACK_WINDOWS_QT (scripts/windows.sh does).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(kp_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${kp_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${kp_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${kp_triplet}-windres)

# Programs look on the build machine; libraries, headers and CMake packages
# only in the cross Qt and the compiler's own Windows tree.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTRELPACK_WINDOWS_QT)
set(CMAKE_FIND_ROOT_PATH /usr/${kp_triplet} ${KESTRELPACK_WINDOWS_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable carries its C and C++ runtimes and the thread library, so
# the package holds no DLL beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
