# The main window streaming from the real simulator: processor share, resident
# memory, and the delay from a frame's last byte leaving the simulator to its
# decoding (QUORVEL_BENCH_SECONDS of streaming, default 10).
add_executable(bench_e2e ${CMAKE_CURRENT_LIST_DIR}/bench_e2e.cpp ${PROJECT_SOURCE_DIR}/tests/sim/SimProcess.cpp)
target_include_directories(bench_e2e PRIVATE ${PROJECT_SOURCE_DIR}/tests/sim)
target_link_libraries(bench_e2e PRIVATE qv_bench_app qv_app_widgets qv_sim benchmark::benchmark)
target_compile_definitions(bench_e2e PRIVATE QV_SIM_EXE="$<TARGET_FILE:quorvel-sim>")
add_dependencies(bench_e2e quorvel-sim)
