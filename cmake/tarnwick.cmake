# Helpers shared by the subsystem and test CMakeLists.

set(TARNWICK_SRC ${PROJECT_SOURCE_DIR}/src)

# The layers, bottom to top. A subsystem may use only those before it: its
# libraries link only downward, and its files include only downward (checked
# when the build is configured).
set(TARNWICK_LAYERS app net ras notify keepalive schedule ui)

# Fails the configuration when a file of `layer` includes a header of a layer
# above it.
function(tarnwick_check_includes layer)
  list(FIND TARNWICK_LAYERS ${layer} own)
  file(GLOB files ${TARNWICK_SRC}/${layer}/*.h ${TARNWICK_SRC}/${layer}/*.cpp)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^#include \"[a-z_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" target_layer "${line}")
      list(FIND TARNWICK_LAYERS ${target_layer} other)
      if(other GREATER own)
        message(FATAL_ERROR "${file} includes ${target_layer}/, a layer above ${layer}/")
      endif()
    endforeach()
  endforeach()
endfunction()

# tarnwick_subsystem(<layer>
#   CORE <sources...>          platform-free rules, built in both builds
#   WIN32 <sources...>         Win32 adapters, Windows build only
#   DEPENDS <layers...>        lower subsystems this one uses
#   SYSTEM_LIBS <libs...>)     Windows libraries of the adapters
# Builds <layer>_core and, in the Windows build, <layer>_win32. <layer>_core
# links the lower cores, <layer>_win32 its own core and the lower Win32 layers.
function(tarnwick_subsystem layer)
  cmake_parse_arguments(S "" "" "CORE;WIN32;DEPENDS;SYSTEM_LIBS" ${ARGN})
  list(FIND TARNWICK_LAYERS ${layer} own)
  if(own EQUAL -1)
    message(FATAL_ERROR "${layer} is not a layer; add it to TARNWICK_LAYERS")
  endif()
  foreach(dep ${S_DEPENDS})
    list(FIND TARNWICK_LAYERS ${dep} other)
    if(other EQUAL -1 OR NOT other LESS own)
      message(FATAL_ERROR "${layer}/ may not depend on ${dep}/: not a layer below it")
    endif()
  endforeach()
  tarnwick_check_includes(${layer})

  add_library(${layer}_core STATIC ${S_CORE})
  target_include_directories(${layer}_core PUBLIC ${TARNWICK_SRC})
  list(TRANSFORM S_DEPENDS APPEND _core OUTPUT_VARIABLE core_deps)
  target_link_libraries(${layer}_core PUBLIC ${core_deps})

  if(WIN32 AND S_WIN32)
    add_library(${layer}_win32 STATIC ${S_WIN32})
    target_include_directories(${layer}_win32 PUBLIC ${TARNWICK_SRC})
    target_link_libraries(${layer}_win32 PUBLIC ${layer}_core ${S_SYSTEM_LIBS})
    foreach(dep ${S_DEPENDS})
      # A lower layer without adapters has only its core, linked above.
      if(TARGET ${dep}_win32)
        target_link_libraries(${layer}_win32 PUBLIC ${dep}_win32)
      endif()
    endforeach()
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
