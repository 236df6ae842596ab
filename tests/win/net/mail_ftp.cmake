# The Winsock transport under Wine.
tarnwick_test(net_transport_win32_tests SOURCES transport_win32_test.cpp LIBS net_win32 WINDOWS)
