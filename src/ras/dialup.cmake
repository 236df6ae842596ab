# The RAS component: platform-free rules (state texts, library look-up, the
# notification hand-off) and the Win32 component over them.
tarnwick_core_library(ras_core
  ${CMAKE_CURRENT_LIST_DIR}/dialup_handoff.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ras_library.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ras_state_text.cpp
)
target_link_libraries(ras_core PUBLIC app_core)

tarnwick_win32_library(ras_win32
  ${CMAKE_CURRENT_LIST_DIR}/dialup_async_win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialup_win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ras_library_win32.cpp
)
if(WIN32)
  target_link_libraries(ras_win32 PUBLIC ras_core app_core)
endif()
