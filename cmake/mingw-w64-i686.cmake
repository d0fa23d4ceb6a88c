# Cross-compiles for 32-bit Windows (x86), for the CAD hosts that still run as 32-bit programs
# and load in-process servers of their own bitness only.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KVM_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
