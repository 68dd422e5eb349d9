# One redraw of the workshop view at full HD and at 4K.
add_executable(bench_workshop ${CMAKE_CURRENT_LIST_DIR}/bench_workshop.cpp)
target_link_libraries(bench_workshop PRIVATE qv_bench_app qv_workshop_view benchmark::benchmark)
