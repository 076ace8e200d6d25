# The CTest fixture "wine": one X server and one Wine prefix for every test
# that runs a Windows program. Such tests are marked with
#   pyxet_wine_tests(NAME...)
# and run Windows programs through scripts/wine-run.sh (PYXET_WINE_RUN),
# which exits 77 (skipped) where this machine cannot run Wine.
#
# PYXET_E2E_FLAVOUR names the build whose Windows programs those tests run:
# i386, the shipped build, where 32-bit code executes; win64, the test-only
# x86_64 build of the same sources, under 64-bit Wine where it does not;
# none where no Wine runs. PYXET_E2E_BUILD_DIR is that build's folder.
set(PYXET_E2E_FLAVOUR "i386" CACHE STRING "Build run under Wine: i386, win64 or none")
set_property(CACHE PYXET_E2E_FLAVOUR PROPERTY STRINGS i386 win64 none)
set(PYXET_WIN64_DIR "${CMAKE_SOURCE_DIR}/build/win64" CACHE PATH
    "Build folder of the test-only x86_64 configuration")
if(PYXET_E2E_FLAVOUR STREQUAL "win64")
    set(PYXET_E2E_BUILD_DIR "${PYXET_WIN64_DIR}")
else()
    set(PYXET_E2E_BUILD_DIR "${PYXET_WIN32_DIR}")
endif()
message(STATUS "Wine tests run the ${PYXET_E2E_FLAVOUR} build in ${PYXET_E2E_BUILD_DIR}")

set(PYXET_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)

function(pyxet_wine_tests)
    set_tests_properties(${ARGN} PROPERTIES
        FIXTURES_REQUIRED wine SKIP_RETURN_CODE 77
        ENVIRONMENT "PYXET_E2E_FLAVOUR=${PYXET_E2E_FLAVOUR}")
endfunction()

add_test(NAME wine_session_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start)
add_test(NAME wine_session_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop)
set_tests_properties(wine_session_start wine_session_stop PROPERTIES
    ENVIRONMENT "PYXET_E2E_FLAVOUR=${PYXET_E2E_FLAVOUR}")
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
