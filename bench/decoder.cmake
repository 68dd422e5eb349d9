add_executable(bench_decoder ${CMAKE_CURRENT_LIST_DIR}/bench_decoder.cpp)
target_link_libraries(bench_decoder PRIVATE qv_decoder benchmark::benchmark)
set_target_properties(bench_decoder PROPERTIES AUTOMOC OFF AUTORCC OFF)
