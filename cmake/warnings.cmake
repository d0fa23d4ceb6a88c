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
