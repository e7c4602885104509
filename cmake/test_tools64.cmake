# The launcher and the UI driver run once or more for every end-to-end step
# (the file holder keeps a file locked while an installer runs).
# As 64-bit Windows programs they start under Wine without the emulation that
# 32-bit programs may need on this kind of machine, so they are built with the
# x86_64 mingw compiler even though the runtime is 32-bit.
find_program(ORV_MINGW64_CXX NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++ REQUIRED)
set(ORV_TOOLS_BIN ${CMAKE_BINARY_DIR}/tools64)
set(outputs "")
foreach(tool launch uidriver hold_file test_window marker)
  set(out ${ORV_TOOLS_BIN}/${tool}.exe)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORV_TOOLS_BIN}
    COMMAND ${ORV_MINGW64_CXX} -O2 -s -static -o ${out} ${CMAKE_SOURCE_DIR}/tests/tools/${tool}.cpp -luser32 -lgdi32
    DEPENDS ${CMAKE_SOURCE_DIR}/tests/tools/${tool}.cpp
    COMMENT "Building the 64-bit test tool ${tool}.exe")
  list(APPEND outputs ${out})
endforeach()
add_custom_target(test_tools64 ALL DEPENDS ${outputs})
