# The raw-socket echo client under Wine.
tarnwick_test(net_icmp_win_tests WINDOWS
  SOURCES icmp_ping_win_test.cpp
  LIBS net_win32)
