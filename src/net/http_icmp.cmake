# Web fetch and ICMP echo clients (the keep-alive's traffic).
list(APPEND NET_CORE_SOURCES
  url_split.cpp
  http_request.cpp
  http_reader.cpp
  http_response.cpp
  http_client.cpp
  http_keepalive.cpp
  icmp_packet.cpp
  icmp_client.cpp
  icmp_wait.cpp
)
list(APPEND NET_WIN32_SOURCES icmp_socket_win32.cpp)
