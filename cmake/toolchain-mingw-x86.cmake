# Cross-build of the 32-bit Windows targets with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR X86)
set(HM_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCross.cmake)
