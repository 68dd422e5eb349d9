# qv_graph_settings: the display values' interface and defaults (header only).
add_library(qv_graph_settings INTERFACE)
target_include_directories(qv_graph_settings INTERFACE ${CMAKE_CURRENT_LIST_DIR})

# qv_paths: where the program's files live, atomic file replacement, and the small
# plain C++ helpers every folder shares (AsciiText.h, UniqueFd.h).
add_library(qv_paths STATIC ${CMAKE_CURRENT_LIST_DIR}/AppPaths.cpp)
target_include_directories(qv_paths PUBLIC ${CMAKE_CURRENT_LIST_DIR})
