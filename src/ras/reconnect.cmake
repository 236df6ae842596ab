# The reconnect window's dial loop (platform-free) and the window over it.
tarnwick_core_library(ras_reconnect_core
  ${CMAKE_CURRENT_LIST_DIR}/reconnect_loop.cpp
)
target_link_libraries(ras_reconnect_core PUBLIC app_core)

tarnwick_win32_library(ras_reconnect_win32
  ${CMAKE_CURRENT_LIST_DIR}/reconnecting_window_win32.cpp
)
if(WIN32)
  target_link_libraries(ras_reconnect_win32 PUBLIC ras_reconnect_core ras_win32 app_win32 ui_core
                        user32 gdi32)
endif()
