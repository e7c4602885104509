# The Windows side: foundation glue, the runtime, Windows tests and test tools.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# One static image: no libgcc, libstdc++ or winpthread DLL next to the program.
add_link_options(-static -static-libgcc -static-libstdc++)
# Code the runtime never calls (the authoring side of the shared formats)
# stays out of the image.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections)

# Each folder a library of its pure code and its glue (cmake/sources.cmake).
orv_layer_libraries(ORV_TOP_LAYER TRUE)
# Only system DLLs that Windows always loads from the system folder are
# linked statically; anything else is loaded on demand by its system path.
target_link_libraries(orv_tl_core PUBLIC kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 uuid)
add_library(orvanta_win INTERFACE)
target_link_libraries(orvanta_win INTERFACE ${ORV_TOP_LAYER})

# The wizard's dialogs and pictures (src/setup/res/pages.rc) are a resource
# script of their own, which the Windows tests load as well. The pictures
# are drawn by scripts/make-artwork.py.
set(ORV_PAGES_RC ${CMAKE_SOURCE_DIR}/src/setup/res/pages.rc)
file(GLOB ORV_PAGE_BITMAPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/setup/res/*.bmp)
set_source_files_properties(${ORV_PAGES_RC} PROPERTIES
  OBJECT_DEPENDS "${ORV_PAGE_BITMAPS};${CMAKE_SOURCE_DIR}/src/setup/ui/page_ids.h")

add_executable(orvanta-setup WIN32
  src/setup/entry/main_win.cpp
  src/setup/res/runtime.rc
  ${ORV_PAGES_RC})
target_link_libraries(orvanta-setup PRIVATE orvanta_win)
# Raw data aligned to whole pages: a loader can then map the sections (the
# payload above all) from the file as they are used instead of reading them
# in when the program starts.
target_link_options(orvanta-setup PRIVATE -s -mwindows -Wl,--file-alignment,0x1000)

# GoogleTest from the Debian sources, built with the posix thread model.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Every Windows test in one program: each start of a 32-bit program costs
# the emulator about a minute here, so the suite starts it once.
# (One file's tests alone: windows_tests.exe --gtest_filter='Suite.*'.)
file(GLOB ORV_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
# The page templates' test creates the dialogs from this program's own copy.
add_executable(windows_tests ${ORV_WIN_TEST_SOURCES} ${ORV_PAGES_RC})
target_include_directories(windows_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
target_link_libraries(windows_tests PRIVATE orvanta_win gtest_main)

add_subdirectory(tests/tools)
