# The art of a cross build: the files the build machine's generator wrote into
# ZEPH_HOST_ART_DIR (bin/models, bin/texture, icon/), copied into this build directory where the
# game and its packaging look for them. The generator makes the same bytes on every system, so
# the Windows game reads exactly what the Linux game reads.
file(GLOB_RECURSE ZEPH_HOST_ART_FILES CONFIGURE_DEPENDS RELATIVE ${ZEPH_HOST_ART_DIR}
    ${ZEPH_HOST_ART_DIR}/bin/models/* ${ZEPH_HOST_ART_DIR}/bin/texture/*
    ${ZEPH_HOST_ART_DIR}/icon/*)
if(NOT ZEPH_HOST_ART_FILES)
    message(FATAL_ERROR "No art in ZEPH_HOST_ART_DIR (${ZEPH_HOST_ART_DIR}): build the zephart "
        "target there first")
endif()
set(ZEPH_ART_FILES)
foreach(file ${ZEPH_HOST_ART_FILES})
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${file}
        COMMAND ${CMAKE_COMMAND} -E copy ${ZEPH_HOST_ART_DIR}/${file} ${CMAKE_BINARY_DIR}/${file}
        DEPENDS ${ZEPH_HOST_ART_DIR}/${file}
        VERBATIM)
    list(APPEND ZEPH_ART_FILES ${CMAKE_BINARY_DIR}/${file})
endforeach()
add_custom_target(zephart ALL DEPENDS ${ZEPH_ART_FILES})
