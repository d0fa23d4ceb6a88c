# kvm_module(NAME SOURCES ... DEPS ...): one static library per subsystem folder.
function(kvm_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  kvm_expose_headers(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE kvm_warnings)
endfunction()

# kvm_test(NAME SOURCES ... DEPS ...): one GoogleTest executable per module.
function(kvm_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock
                        kvm_test_headers kvm_warnings)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# kvm_python_check(NAME SCRIPT): an output checked from outside by a script of the
# distribution's Python (where ezdxf is installed), given the command line's program.
function(kvm_python_check name script)
  find_program(KVM_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
  if(NOT KVM_SYSTEM_PYTHON)
    find_program(KVM_SYSTEM_PYTHON python3 REQUIRED)
  endif()
  add_test(NAME ${name}
           COMMAND ${KVM_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/${script}
                   $<TARGET_FILE:kavelmor>)
endfunction()
