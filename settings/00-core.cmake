# qv_graph_settings: the display values' interface and defaults (header only).
add_library(qv_graph_settings INTERFACE)
target_include_directories(qv_graph_settings INTERFACE ${CMAKE_CURRENT_LIST_DIR})
