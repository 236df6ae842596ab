# Connection statistics: the Win32 sources under Wine, and the statistics part
# of TDialUp against the simulated RAS service (installed by scripts/prefix.d).
tarnwick_test(ras_statistics_win32_tests WINDOWS
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/statistics_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statistics_dialup_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rassim_fixture.cpp
  LIBS ras_stats_win32
)
if(WIN32)
  add_dependencies(ras_statistics_win32_tests rasapi32)
endif()
