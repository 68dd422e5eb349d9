quorvel_add_test(test_sim
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SimProcess.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_sim_cli.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_sim_device.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_sim_engine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_sim_faults.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_sim_frames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_sim_process.cpp
  LIBS qv_sim)
target_compile_definitions(test_sim PRIVATE QV_SIM_EXE="$<TARGET_FILE:quorvel-sim>")
add_dependencies(test_sim quorvel-sim)
target_sources(test_sim PRIVATE ${CMAKE_CURRENT_LIST_DIR}/test_sim_decoder.cpp)
target_link_libraries(test_sim PRIVATE qv_decoder)
