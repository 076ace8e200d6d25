# The release's version and copyright line, each from its one place: the
# version from VERSION at the top, the copyright line from LICENSE. They
# reach every target (the program, ENUM.DLL, pyxet-check and the tests)
# through one generated header, pyxet_version.h:
#   PYXET_VERSION                the version as text, "1.0.0"
#   PYXET_VERSION_MAJOR, _MINOR, _PATCH   its three numbers
#   PYXET_COPYRIGHT              "Copyright (c) The Pyxet authors"
# The version resources (res/version_info.rc) are made from it, and the
# binary checks read them back against the same two files.
set(PYXET_VERSION_FILE ${CMAKE_CURRENT_LIST_DIR}/../VERSION)
set(PYXET_LICENSE_FILE ${CMAKE_CURRENT_LIST_DIR}/../LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PYXET_VERSION_FILE} ${PYXET_LICENSE_FILE})

file(READ ${PYXET_VERSION_FILE} PYXET_VERSION)
string(STRIP "${PYXET_VERSION}" PYXET_VERSION)
# Three numbers, as a version resource holds them (each at most 65535).
if(NOT PYXET_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "VERSION holds \"${PYXET_VERSION}\"; it must be MAJOR.MINOR.PATCH, such as 1.0.0")
endif()
set(PYXET_VERSION_MAJOR ${CMAKE_MATCH_1})
set(PYXET_VERSION_MINOR ${CMAKE_MATCH_2})
set(PYXET_VERSION_PATCH ${CMAKE_MATCH_3})
foreach(number ${PYXET_VERSION_MAJOR} ${PYXET_VERSION_MINOR} ${PYXET_VERSION_PATCH})
    if(number GREATER 65535)
        message(FATAL_ERROR "VERSION holds \"${PYXET_VERSION}\"; a version resource holds no number above 65535")
    endif()
endforeach()

file(STRINGS ${PYXET_LICENSE_FILE} PYXET_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
# It becomes a C and resource string: plain ASCII, no quote, no backslash.
if(NOT PYXET_COPYRIGHT MATCHES "^Copyright \\(c\\) [ -~]+$" OR PYXET_COPYRIGHT MATCHES "[\"\\]")
    message(FATAL_ERROR "LICENSE has no line \"Copyright (c) HOLDERS\" in plain ASCII without quotes or backslashes")
endif()

set(PYXET_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pyxet_version.h.in ${PYXET_GENERATED_DIR}/pyxet_version.h @ONLY)
include_directories(${PYXET_GENERATED_DIR})
# What a script that includes res/version_info.rc is made from.
set(PYXET_VERSION_RESOURCE_DEPENDS
    ${CMAKE_CURRENT_LIST_DIR}/../res/version_info.rc ${PYXET_GENERATED_DIR}/pyxet_version.h)
