# The program's sources that need only the few Win32 calls stood in for by the
# unit tests, so they compile natively as well as for Windows.
set(PYXET_SRC ${CMAKE_CURRENT_LIST_DIR}/../src)
set(PYXET_PORTABLE_SOURCES
    ${PYXET_SRC}/core/program_state.cpp
    ${PYXET_SRC}/core/text.cpp
    ${PYXET_SRC}/core/command_line.cpp
    ${PYXET_SRC}/settings/paths.cpp
    ${PYXET_SRC}/settings/texts.cpp
    ${PYXET_SRC}/settings/driver_table.cpp
    ${PYXET_SRC}/settings/format_check.cpp
    ${PYXET_SRC}/probe/version.cpp
    ${PYXET_SRC}/probe/detect.cpp
    ${PYXET_SRC}/launch/work_dir.cpp
    ${PYXET_SRC}/launch/launch.cpp)

# The native side of those Win32 calls that behave the same wherever the
# portable sources are built natively: the profile reader, which reads host
# files under GetPrivateProfileStringA's rules, and wsprintfA. The headers,
# windows.h among them, are in PYXET_NATIVE_INCLUDE.
set(PYXET_NATIVE_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/../tools/native)
set(PYXET_NATIVE_SOURCES
    ${PYXET_NATIVE_INCLUDE}/profile_reader.cpp
    ${PYXET_NATIVE_INCLUDE}/wsprintf.cpp)
