# Cross build for 32-bit x86 Windows with mingw-w64: the shipped executable.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TARN_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
