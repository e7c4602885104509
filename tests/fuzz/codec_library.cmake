# The payload codec as a library of its own, for builds of the fuzzers and
# the benchmark outside the main project (another compiler, sanitizers):
# the codec needs nothing else of the library. ORV_ROOT is the repository
# root.
function(orv_codec_library name)
  add_library(${name} STATIC
    ${ORV_ROOT}/src/setup/payload/pack.cpp
    ${ORV_ROOT}/src/setup/payload/unpack.cpp
    ${ORV_ROOT}/src/setup/payload/payload_checksum.cpp
    ${ORV_ROOT}/src/setup/payload/scramble.cpp)
  target_include_directories(${name} PUBLIC ${ORV_ROOT}/src)
endfunction()
