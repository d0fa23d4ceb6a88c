# Warnings are errors everywhere in our own code.
add_library(kvm_warnings INTERFACE)
if(MSVC)
  target_compile_options(kvm_warnings INTERFACE /W4 /WX)
else()
  target_compile_options(kvm_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Werror -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wconversion -Wsign-conversion -Wnull-dereference
    -Wimplicit-fallthrough)
endif()
# GCC 12 reports overlapping copies inside std::string concatenation and null dereferences
# inside its own stream iterators at -O2/-O3 that cannot happen (known false positives of that
# release); both warnings stay on for other compilers.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(kvm_warnings INTERFACE -Wno-restrict -Wno-null-dereference)
endif()

