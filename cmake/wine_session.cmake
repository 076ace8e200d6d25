# The CTest fixture "wine": one X server and one Wine prefix for every test
# that runs a Windows program. A test joins it with
#   set_tests_properties(NAME PROPERTIES FIXTURES_REQUIRED wine)
# and runs Windows programs through scripts/wine-run.sh, which exits 77
# (skipped) where this machine cannot run Wine.
set(PYXET_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
add_test(NAME wine_session_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start)
add_test(NAME wine_session_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop)
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
