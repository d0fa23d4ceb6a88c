# kvm_module(NAME SOURCES ... DEPS ...): one static library per subsystem folder.
function(kvm_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE kvm_warnings)
endfunction()

# kvm_test(NAME SOURCES ... DEPS ...): one GoogleTest executable per module.
function(kvm_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock kvm_warnings)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
