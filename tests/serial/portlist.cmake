quorvel_add_test(test_port_list QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_port_list.cpp
  LIBS qv_serial)
