# Cross-build of the 64-bit Windows targets with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(HM_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCross.cmake)
