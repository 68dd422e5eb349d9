quorvel_add_test(test_app_paths
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_paths.cpp
  LIBS qv_paths)
