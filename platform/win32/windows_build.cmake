# Settings of the Windows build, included by the top-level list before any target.

# Programs and DLLs side by side, so the tests find the servers beside themselves.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The header-only libraries of the Windows build come from the build machine's packages.
# Only their own folders are exposed (through a staging folder of links), never the rest of
# the build machine's headers, which are not Windows headers.
set(KVM_STAGED_INCLUDE ${CMAKE_BINARY_DIR}/staged-include)
file(MAKE_DIRECTORY ${KVM_STAGED_INCLUDE})

function(kvm_stage_header_library target folder)
  set(source /usr/include/${folder})
  if(NOT EXISTS ${source})
    return()
  endif()
  if(NOT EXISTS ${KVM_STAGED_INCLUDE}/${folder})
    file(CREATE_LINK ${source} ${KVM_STAGED_INCLUDE}/${folder} SYMBOLIC)
  endif()
  if(NOT TARGET ${target})
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${KVM_STAGED_INCLUDE})
  endif()
endfunction()

kvm_stage_header_library(nlohmann_json::nlohmann_json nlohmann)
kvm_stage_header_library(CLI11::CLI11 CLI)
