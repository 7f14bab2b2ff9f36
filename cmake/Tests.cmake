# One GoogleTest executable per library, discovered by CTest with a label.
function(movara_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  movara_warnings(${name})
  gtest_discover_tests(${name}
    PROPERTIES LABELS "${T_LABEL}"
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
endfunction()
