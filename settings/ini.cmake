# qv_ini: INI files kept line by line, and where the program's INI files live (plain C++).
add_library(qv_ini STATIC
  ${CMAKE_CURRENT_LIST_DIR}/IniText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppUtils.cpp)
target_include_directories(qv_ini PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_ini PUBLIC qv_paths)
