# The simulated device's cost per engine cycle, frame and simulated second.
add_executable(bench_sim ${CMAKE_CURRENT_LIST_DIR}/bench_sim.cpp)
target_link_libraries(bench_sim PRIVATE qv_sim benchmark::benchmark)
set_target_properties(bench_sim PROPERTIES AUTOMOC OFF AUTORCC OFF)
