tarnwick_test(ras_dialup_unit_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dialup_handoff_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialup_library_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialup_state_text_test.cpp
  LIBS ras_core
)

# The simulator's rules are platform-free; its DLL is built in the Windows build only.
tarnwick_test(rassim_model_unit_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/rassim_model_test.cpp
    ${PROJECT_SOURCE_DIR}/tools/rassim/rassim_model.cpp
  LIBS
)
target_include_directories(rassim_model_unit_tests PRIVATE ${PROJECT_SOURCE_DIR}/tools/rassim)
