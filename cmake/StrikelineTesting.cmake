# strikeline_add_test(<name> SOURCES <files...> [LIBRARIES <targets...>] [GUI])
#
# Registers one test executable with CTest. Core tests use GoogleTest (each test case is
# reported on its own); GUI tests use Qt Test and run on the offscreen platform. Every
# test gets STRIKELINE_FIXTURE_DIR, the folder of fixture files, as a compile definition.
include(GoogleTest)
find_package(GTest REQUIRED)

set(STRIKELINE_FIXTURE_DIR "${CMAKE_SOURCE_DIR}/tests/fixtures")
set(STRIKELINE_TEST_ENVIRONMENT
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

function(strikeline_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_definitions(${name} PRIVATE STRIKELINE_FIXTURE_DIR="${STRIKELINE_FIXTURE_DIR}")
  target_link_libraries(${name} PRIVATE strikeline_core ${ARG_LIBRARIES})
  if(ARG_GUI)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/ThreadsEndedAtExit.cpp)
    target_link_libraries(${name} PRIVATE Qt6::Test Qt6::Widgets)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${STRIKELINE_TEST_ENVIRONMENT}")
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "${STRIKELINE_TEST_ENVIRONMENT}")
  endif()
endfunction()
