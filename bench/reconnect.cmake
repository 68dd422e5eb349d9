# Reconnecting after a pulled cable: processor time while waiting for the
# device, and the time from its reappearing to the first frame decoded.
add_executable(bench_reconnect ${CMAKE_CURRENT_LIST_DIR}/bench_reconnect.cpp ${PROJECT_SOURCE_DIR}/tests/sim/SimProcess.cpp)
target_include_directories(bench_reconnect PRIVATE ${PROJECT_SOURCE_DIR}/tests/sim)
target_link_libraries(bench_reconnect PRIVATE qv_bench_app qv_app_widgets qv_usb benchmark::benchmark)
target_compile_definitions(bench_reconnect PRIVATE QV_SIM_EXE="$<TARGET_FILE:quorvel-sim>")
add_dependencies(bench_reconnect quorvel-sim)
