# SMTP and FTP clients, their steps, message building and the transports.
tarnwick_test(net_mail_tests
  SOURCES mail_fakes.cpp mail_message_test.cpp smtp_client_test.cpp smtp_step_test.cpp
          ftp_test.cpp
  LIBS net_core)
