# Start-up shared by the benchmarks that run the main window.
add_library(qv_bench_app STATIC ${CMAKE_CURRENT_LIST_DIR}/BenchApp.cpp)
target_include_directories(qv_bench_app PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_bench_app PUBLIC qv_app_support Qt6::Widgets)
