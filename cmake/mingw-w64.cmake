# Cross-compiles for Windows with the distribution's mingw-w64 (posix threads model, which
# std::thread and std::mutex need), for the processor the including toolchain file names in
# CMAKE_SYSTEM_PROCESSOR and KVM_MINGW_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)
find_program(CMAKE_C_COMPILER NAMES ${KVM_MINGW_PREFIX}-gcc-posix ${KVM_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KVM_MINGW_PREFIX}-g++-posix ${KVM_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KVM_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KVM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL and the programs must import system libraries only: the C and C++ run-times and
# winpthread go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# -O2 rather than CMake's -O3: GCC 12 at -O3 warns falsely (-Wrestrict) inside
# std::u16string concatenation, and the DLL gains nothing from the larger code.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds" FORCE)
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds" FORCE)
