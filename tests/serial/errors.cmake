quorvel_add_test(test_ecomport QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_ecomport.cpp
  LIBS qv_serial)
