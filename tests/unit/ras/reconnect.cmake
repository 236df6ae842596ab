tarnwick_test(ras_reconnect_unit_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/reconnect_loop_test.cpp
  LIBS ras_reconnect_core
)
