# The independent reference the option analytics are checked and timed against, behind the
# one adapter in tests/analytics. Only the tests and the benchmarks link it: never the core
# or the program. Included by both; the first defines the adapter's library.
include_guard(GLOBAL)

find_library(QUANTLIB_LIBRARY QuantLib)
find_path(QUANTLIB_INCLUDE_DIR ql/version.hpp)
if(NOT QUANTLIB_LIBRARY OR NOT QUANTLIB_INCLUDE_DIR)
  message(FATAL_ERROR "The tests and the benchmarks check the option analytics against "
    "QuantLib, which was not found (Debian package libquantlib0-dev, installed by "
    "scripts/install-deps.sh). Configure with -DSTRIKELINE_BUILD_TESTS=OFF "
    "-DSTRIKELINE_BUILD_BENCH=OFF to build without them.")
endif()

add_library(strikeline_quantlib_reference STATIC
  ${PROJECT_SOURCE_DIR}/tests/analytics/QuantLibReference.cpp)
target_include_directories(strikeline_quantlib_reference
  PUBLIC ${PROJECT_SOURCE_DIR}/tests/analytics)
target_include_directories(strikeline_quantlib_reference SYSTEM PRIVATE ${QUANTLIB_INCLUDE_DIR})
target_link_libraries(strikeline_quantlib_reference PRIVATE ${QUANTLIB_LIBRARY})
