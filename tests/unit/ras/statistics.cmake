# Connection statistics of the RAS component (platform-free).
tarnwick_test(ras_statistics_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/perfdata_walker_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/perfdata_fuzz_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statistics_9x_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/statistics_nt_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tapi_line_speed_test.cpp
  LIBS ras_stats_core
)
