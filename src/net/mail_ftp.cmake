# SMTP and FTP clients, their steps, and the socket transports.
list(APPEND NET_CORE_SOURCES
  base64.cpp
  ftp_client.cpp
  ftp_step.cpp
  line_reader.cpp
  mail_date.cpp
  mail_message.cpp
  rfc2047.cpp
  smtp_client.cpp
  smtp_step.cpp
)
if(NOT WIN32)
  list(APPEND NET_CORE_SOURCES mail_system_posix.cpp transport_posix.cpp)
endif()
list(APPEND NET_WIN32_SOURCES mail_system_win32.cpp transport_win32.cpp)
