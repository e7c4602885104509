# Tests that run under Wine share one private prefix and one X server, made
# once per test run by the wine fixture. A missing Wine or Xvfb fails the
# fixture, and with it every test that needs Wine.
set(ORV_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(ORV_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(ORV_TEST_ENV
  "ORV_WINE_STATE=${ORV_WINE_STATE}"
  "WINEPREFIX=${ORV_WINE_STATE}/prefix"
  "ORV_CROSS_BIN=${ORV_CROSS_DIR}/bin"
  "ORV_NATIVE_BIN=${CMAKE_BINARY_DIR}/bin"
  "ORV_TOOLS_BIN=${ORV_TOOLS_BIN}"
  "ORV_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
  "ORV_SCRATCH=${CMAKE_BINARY_DIR}/scratch"
  # Wine's recycle bin is the desktop's trash folder: keep it in the build tree.
  "XDG_DATA_HOME=${ORV_WINE_STATE}/xdg")

add_test(NAME wine.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start)
add_test(NAME wine.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop)
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${ORV_TEST_ENV}")
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${ORV_TEST_ENV}")

# All Windows tests run in one program start (see cmake/windows.cmake), in
# an order of their own each time: every test builds the state it needs, and
# the output names the seed that repeats an order (--gtest_random_seed=N).
add_test(NAME win.tests COMMAND ${CMAKE_SOURCE_DIR}/scripts/win-tests.sh ${ORV_CROSS_DIR}/bin/windows_tests.exe
  --gtest_shuffle)
# The Windows tests save PendingFileRenameOperations of the shared prefix and
# put it back afterwards; an installation running meanwhile would lose its
# entries, so the two never overlap.
set_tests_properties(win.tests PROPERTIES
  FIXTURES_REQUIRED wine ENVIRONMENT "${ORV_TEST_ENV}" TIMEOUT 1800 RESOURCE_LOCK pending_renames)

file(GLOB ORV_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py)
foreach(file IN LISTS ORV_E2E_TESTS)
  get_filename_component(name ${file} NAME_WE)
  string(REGEX REPLACE "^test_" "" short ${name})
  add_test(NAME e2e.${short}
    COMMAND python3 -m unittest -v ${name}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  set_tests_properties(e2e.${short} PROPERTIES
    FIXTURES_REQUIRED wine ENVIRONMENT "${ORV_TEST_ENV}" TIMEOUT 1200)
endforeach()
set_tests_properties(e2e.install PROPERTIES RESOURCE_LOCK pending_renames)
# The wizard's tests walk three runs page by page and start seven at once.
set_tests_properties(e2e.wizard PROPERTIES TIMEOUT 2400)

# Seconds each took in a full run on two cores. ctest starts the costliest
# first, so that no long test is left to run alone at the end. The two that
# share the pending renames run one after the other, so they go first, while
# the other lane has the rest to do.
foreach(cost IN ITEMS wizard:900 install:600 uninstall:440 progress:300 payload:285 entry:244 start_checks:241
                      dll_search:104)
  string(REPLACE ":" ";" cost ${cost})
  list(GET cost 0 name)
  list(GET cost 1 seconds)
  if(TEST e2e.${name})
    set_tests_properties(e2e.${name} PROPERTIES COST ${seconds})
  endif()
endforeach()
set_tests_properties(win.tests PROPERTIES COST 700)
