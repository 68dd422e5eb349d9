# The main window on the real simulator binary: a scan from Start to Stop,
# every frame the device sent compared with what the window decoded, and the
# simulator's faults.
quorvel_add_test(test_e2e QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_e2e.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_e2e_faults.cpp
          ${CMAKE_CURRENT_LIST_DIR}/E2eSupport.cpp
          ${CMAKE_CURRENT_LIST_DIR}/../sim/SimProcess.cpp
  LIBS qv_app_widgets qv_sim)
target_include_directories(test_e2e PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../sim)
target_compile_definitions(test_e2e PRIVATE QV_SIM_EXE="$<TARGET_FILE:quorvel-sim>")
add_dependencies(test_e2e quorvel-sim)
