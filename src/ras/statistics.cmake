# Connection statistics of the RAS component: the platform-free logic with its
# system sources behind interfaces, and the Win32 versions of those sources.
tarnwick_core_library(ras_stats_core
  perfdata_reader.cpp
  perfdata_walker.cpp
  platform_info.cpp
  statistics.cpp
  statistics_9x.cpp
  statistics_nt4.cpp
  tapi_line_speed.cpp
)
tarnwick_win32_library(ras_stats_win32
  perfdata_win32.cpp
  platform_info_win32.cpp
  statistics_dialup_win32.cpp
  statistics_ras_win32.cpp
  statistics_registry_win32.cpp
  tapi_win32.cpp
)
if(WIN32)
  target_link_libraries(ras_stats_win32 PUBLIC ras_stats_core ras_win32 app_win32)
endif()
