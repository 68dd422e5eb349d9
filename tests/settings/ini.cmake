quorvel_add_test(test_ini
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ini_text.cpp ${CMAKE_CURRENT_LIST_DIR}/test_ini_file.cpp
  LIBS qv_ini)
