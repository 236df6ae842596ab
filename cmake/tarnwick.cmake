# Helpers shared by the subsystem and test CMakeLists.

set(TARNWICK_SRC ${PROJECT_SOURCE_DIR}/src)

# tarnwick_core_library(<name> <sources...>): platform-free code, built in both builds.
function(tarnwick_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${TARNWICK_SRC})
endfunction()

# tarnwick_win32_library(<name> <sources...>): Win32 adapters, Windows build only.
function(tarnwick_win32_library name)
  if(WIN32)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${TARNWICK_SRC})
  endif()
endfunction()

# tarnwick_test(<target> SOURCES <files...> LIBS <libs...> [WINDOWS])
# Builds one GoogleTest binary and registers its tests with CTest. WINDOWS marks
# tests that need the Win32 API: they are built only in the Windows build and run
# under Wine there; the others are built in every build.
function(tarnwick_test target)
  cmake_parse_arguments(T "WINDOWS" "" "SOURCES;LIBS" ${ARGN})
  if(T_WINDOWS AND NOT WIN32)
    return()
  endif()
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # Wine: discovery runs the binary through the emulator at test time.
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 120)
endfunction()
