# What the mingw-w64 cross toolchain files share. The including file sets
# CMAKE_SYSTEM_PROCESSOR and TARN_MINGW_PREFIX (the compiler triplet) first.
# The POSIX thread-model compilers are used because GoogleTest needs
# std::mutex, which the win32 thread model of this GCC lacks.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TARN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TARN_MINGW_PREFIX}-windres)
set(CMAKE_AR ${TARN_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${TARN_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${TARN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
