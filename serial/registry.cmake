# qv_registry: the program's own registry, one export-format file per root in the
# user's configuration folder (plain C++).
add_library(qv_registry STATIC
  ${CMAKE_CURRENT_LIST_DIR}/RegFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp)
target_include_directories(qv_registry PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_registry PUBLIC qv_paths)

# qv_port_text: the stored and listed texts of the port's settings (plain C++).
add_library(qv_port_text STATIC ${CMAKE_CURRENT_LIST_DIR}/CPortText.cpp)
target_include_directories(qv_port_text PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_port_text PUBLIC qv_paths)
