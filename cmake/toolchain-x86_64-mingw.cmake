# Cross build for 64-bit x86-64 Windows with mingw-w64. Not shipped: it lets
# the Windows code run its tests under wine64 on hosts that cannot run
# 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TARN_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
