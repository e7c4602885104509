# The native side: unit tests of the pure code, the authoring tool, and the
# registration of everything that runs under Wine. The Windows side is built
# by a nested cross build in ${ORV_CROSS_DIR}.
include(ExternalProject)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

orv_test_names(ORV_UNIT_TESTS tests/unit)
foreach(name IN LISTS ORV_UNIT_TESTS)
  add_executable(${name} tests/unit/${name}.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
  target_link_libraries(${name} PRIVATE orvanta_pure gtest_main)
  gtest_discover_tests(${name} TEST_PREFIX "unit." DISCOVERY_MODE PRE_TEST)
endforeach()

add_subdirectory(tools/pack)
# The fuzz corpora replay as ordinary tests; the libFuzzer builds are scripts/fuzz.sh's.
add_subdirectory(tests/fuzz)
# A short libFuzzer run of every target (clang, ASan, UBSan) on each test run;
# longer runs by hand with scripts/fuzz.sh SECONDS.
add_test(NAME fuzz.short_runs COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh 5)
# Started first: it needs no Wine and runs beside the Wine tests instead of after them.
set_tests_properties(fuzz.short_runs PROPERTIES TIMEOUT 1200 COST 100000)
add_subdirectory(bench)
# The wizard's checked-in pictures are what scripts/make-artwork.py draws.
add_test(NAME artwork.current COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/make-artwork.py --check)

set(ORV_CROSS_DIR ${CMAKE_BINARY_DIR}/cross)
ExternalProject_Add(cross
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${ORV_CROSS_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
    -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS TRUE
  INSTALL_COMMAND "")

include(cmake/test_tools64.cmake)
include(cmake/wine_tests.cmake)
