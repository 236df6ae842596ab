# The reconnect window under Wine against the simulated RAS service.
tarnwick_test(ras_reconnect_win_tests WINDOWS
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/reconnect_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rassim_fixture.cpp
  LIBS ras_reconnect_win32
)
if(WIN32)
  add_dependencies(ras_reconnect_win_tests rasapi32)
endif()
