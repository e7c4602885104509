# The source folders as layers, lowest first. Each folder is a library that
# links the one below it, and so may use every folder below it and none
# above: an include of a higher folder fails the build (cmake/layers.cmake),
# and a call into one finds no definition when the program is linked.
# A source file is platform glue exactly when its name ends in _win.cpp;
# everything else under src/ is pure and builds on Linux too.
set(ORV_LAYERS
  tl_core:src/tl_core
  net:src/net
  payload:src/setup/payload
  strings:src/setup/strings
  record:src/setup/record
  run:src/setup/run
  ui:src/setup/ui
  report:src/setup/report
  vars:src/setup/vars
  folders:src/setup/folders
  wizard:src/setup/wizard
  files:src/setup/files
  integration:src/setup/integration
  uninstall:src/setup/uninstall
  entry:src/setup/entry)

# The sources of one folder: kind PURE or WIN (main_win.cpp is the
# program's own and belongs to no library).
function(orv_folder_sources out dir kind)
  file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  set(result "")
  foreach(f IN LISTS found)
    if(f MATCHES "_win\\.cpp$")
      if(kind STREQUAL "WIN" AND NOT f MATCHES "/main_win\\.cpp$")
        list(APPEND result ${f})
      endif()
    elseif(kind STREQUAL "PURE")
      list(APPEND result ${f})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# One library per folder, named orv_<layer>, linking the layer below it.
# With `with_glue` the folder's Windows glue is part of it as well.
# `top` receives the name of the highest library.
function(orv_layer_libraries top with_glue)
  set(below "")
  foreach(entry IN LISTS ORV_LAYERS)
    string(REPLACE ":" ";" parts ${entry})
    list(GET parts 0 layer)
    list(GET parts 1 dir)
    orv_folder_sources(sources ${dir} PURE)
    if(with_glue)
      orv_folder_sources(glue ${dir} WIN)
      list(APPEND sources ${glue})
    endif()
    set(name orv_${layer})
    if(sources)
      add_library(${name} STATIC ${sources})
      target_compile_options(${name} PRIVATE -Wall -Wextra)
      target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
      if(below)
        target_link_libraries(${name} PUBLIC ${below})
      endif()
    else()
      add_library(${name} INTERFACE)
      target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
      if(below)
        target_link_libraries(${name} INTERFACE ${below})
      endif()
    endif()
    add_dependencies(${name} orv_layer_check)
    set(below ${name})
  endforeach()
  set(${top} ${below} PARENT_SCOPE)
endfunction()

# Fails the build when a source includes a header of a higher layer.
function(orv_layer_check_target)
  set(all "")
  foreach(entry IN LISTS ORV_LAYERS)
    string(REPLACE ":" ";" parts ${entry})
    list(GET parts 1 dir)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    list(APPEND all ${found})
  endforeach()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/layer_check.stamp)
  string(REPLACE ";" "," layers "${ORV_LAYERS}")
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} "-DLAYERS=${layers}" -DSTAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/layers.cmake
    DEPENDS ${all} ${CMAKE_SOURCE_DIR}/cmake/layers.cmake ${CMAKE_SOURCE_DIR}/cmake/sources.cmake
    COMMENT "Checking that no folder includes a higher one"
    VERBATIM)
  add_custom_target(orv_layer_check DEPENDS ${stamp})
endfunction()

# Test sources: one executable per *_test.cpp file.
function(orv_test_names out dir)
  file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*_test.cpp)
  set(result "")
  foreach(f IN LISTS found)
    get_filename_component(name ${f} NAME_WE)
    list(APPEND result ${name})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()
