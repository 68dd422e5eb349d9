# One redraw tick (bar chart and four trace panels, copied to the window image).
add_executable(bench_displays ${CMAKE_CURRENT_LIST_DIR}/bench_displays.cpp)
target_link_libraries(bench_displays PRIVATE qv_displays benchmark::benchmark)
set_target_properties(bench_displays PROPERTIES AUTOMOC OFF AUTORCC OFF)
