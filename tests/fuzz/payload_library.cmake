# The payload readers beyond the codec (header, settings stream, section
# locator, uninstaller image), the version reader, the "Uninstall.DAT"
# text, the icon file reader and the background bitmap reader as a library of their own, for the fuzzers built outside the main project. ORV_ROOT is the repository root.
function(orv_payload_library name)
  add_library(${name} STATIC
    ${ORV_ROOT}/src/setup/payload/pack.cpp
    ${ORV_ROOT}/src/setup/payload/unpack.cpp
    ${ORV_ROOT}/src/setup/payload/payload_checksum.cpp
    ${ORV_ROOT}/src/setup/payload/scramble.cpp
    ${ORV_ROOT}/src/setup/payload/memory_stream.cpp
    ${ORV_ROOT}/src/setup/payload/settings_stream.cpp
    ${ORV_ROOT}/src/setup/payload/section_locator.cpp
    ${ORV_ROOT}/src/setup/payload/pe_image.cpp
    ${ORV_ROOT}/src/setup/payload/payload_header.cpp
    ${ORV_ROOT}/src/setup/payload/file_record.cpp
    ${ORV_ROOT}/src/setup/payload/archive.cpp
    ${ORV_ROOT}/src/setup/payload/uninstaller_image.cpp
    ${ORV_ROOT}/src/setup/payload/version_resource.cpp
    ${ORV_ROOT}/src/setup/record/uninstall_data_text.cpp
    ${ORV_ROOT}/src/setup/integration/icon_file.cpp
    ${ORV_ROOT}/src/setup/ui/background_rules.cpp)
  target_include_directories(${name} PUBLIC ${ORV_ROOT}/src)
endfunction()
