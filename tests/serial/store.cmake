quorvel_add_test(test_port_store QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_port_store.cpp
  LIBS qv_serial)
