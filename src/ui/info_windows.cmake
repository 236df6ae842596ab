# The splash and About windows and the program's pictures (included by
# CMakeLists.txt beside it).
if(WIN32)
  target_sources(ui_win32 PRIVATE about_win32.cpp picture_win32.cpp splash_win32.cpp)
  target_link_libraries(ui_win32 PUBLIC ole32 windowscodecs uuid)
  # The dialog templates and pictures; test programs that show these windows add
  # the same file to their own sources.
  set(TARNWICK_INFO_WINDOWS_RC ${CMAKE_CURRENT_SOURCE_DIR}/info_windows.rc
      CACHE INTERNAL "Resources of the splash and About windows and the pictures")
  target_sources(tarnwick PRIVATE info_windows.rc)
endif()
