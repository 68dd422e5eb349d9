# qv_measurement: the main window's measurement state (header only).
add_library(qv_measurement INTERFACE)
target_include_directories(qv_measurement INTERFACE ${CMAKE_CURRENT_LIST_DIR})
