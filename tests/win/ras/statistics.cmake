# Connection statistics: the Win32 sources under Wine.
tarnwick_test(ras_statistics_win32_tests WINDOWS
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/statistics_win32_test.cpp
  LIBS ras_stats_win32
)
