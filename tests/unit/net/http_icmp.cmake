# Web fetch and ICMP echo clients.
tarnwick_test(net_http_tests
  SOURCES url_split_test.cpp http_client_test.cpp http_keepalive_test.cpp
  LIBS net_core)
tarnwick_test(net_icmp_tests
  SOURCES icmp_packet_test.cpp icmp_client_test.cpp
  LIBS net_core)
tarnwick_test(net_http_icmp_fuzz_tests SOURCES http_icmp_fuzz_test.cpp LIBS net_core)
if(NOT WIN32)
  # Real servers on loopback; the POSIX transport is native only.
  tarnwick_test(net_http_interop_tests SOURCES http_interop_test.cpp LIBS net_core)
endif()
