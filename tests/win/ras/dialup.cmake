# Run under Wine against the simulated RAS service (tools/rassim), which
# scripts/prefix.d/10-rassim installs into the test prefix.
tarnwick_test(ras_dialup_win_tests WINDOWS
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dialup_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialup_no_ras_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rassim_api_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rassim_fixture.cpp
  LIBS ras_win32
)
if(WIN32)
  # The simulator must be built before its tests run.
  add_dependencies(ras_dialup_win_tests rasapi32)
endif()
