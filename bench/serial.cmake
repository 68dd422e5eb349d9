# The port's receive latency, throughput at ten times the device's line rate,
# and the processor time of an idle open port. A plain program printing its
# figures; --seconds shortens the throughput run.
add_executable(bench_serial ${CMAKE_CURRENT_LIST_DIR}/bench_serial.cpp)
target_link_libraries(bench_serial PRIVATE qv_serial Qt6::Core)
set_target_properties(bench_serial PROPERTIES AUTOMOC OFF AUTORCC OFF)
