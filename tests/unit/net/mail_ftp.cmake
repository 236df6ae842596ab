# SMTP and FTP clients, their steps, message building and the transports.
tarnwick_test(net_mail_tests
  SOURCES mail_fakes.cpp mail_message_test.cpp smtp_client_test.cpp smtp_step_test.cpp
          ftp_test.cpp
  LIBS net_core)
tarnwick_test(net_mail_fuzz_tests SOURCES mail_fakes.cpp mail_reply_fuzz_test.cpp LIBS net_core)
# Real servers on loopback through the POSIX transport (native builds only).
if(NOT WIN32)
  tarnwick_test(net_mail_interop_tests SOURCES mail_fakes.cpp mail_interop_test.cpp LIBS net_core)
  target_compile_definitions(net_mail_interop_tests PRIVATE
    MAIL_FTP_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
endif()
