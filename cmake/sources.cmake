# A source file is platform glue exactly when its name ends in _win.cpp;
# everything else under src/ is pure and builds on Linux too.
set(ORV_SOURCE_DIRS
  src/tl_core src/net
  src/setup/entry src/setup/payload src/setup/strings src/setup/ui
  src/setup/files src/setup/integration src/setup/vars src/setup/uninstall
  src/setup/report)

function(orv_collect_sources out kind)
  set(result "")
  foreach(dir IN LISTS ORV_SOURCE_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    foreach(f IN LISTS found)
      if(f MATCHES "_win\\.cpp$")
        if(kind STREQUAL "WIN" AND NOT f MATCHES "/main_win\\.cpp$")
          list(APPEND result ${f})
        endif()
      elseif(kind STREQUAL "PURE")
        list(APPEND result ${f})
      endif()
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
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
