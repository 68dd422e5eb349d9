# Processor time of the running main window, idle and with a device streaming
# at the full line rate (QUORVEL_BENCH_SECONDS per run, default 10).
add_executable(bench_mainwindow ${CMAKE_CURRENT_LIST_DIR}/bench_mainwindow.cpp)
target_link_libraries(bench_mainwindow PRIVATE qv_bench_app qv_app_widgets benchmark::benchmark)
