quorvel_add_test(test_port_setup QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_port_combo.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_port_setup.cpp
  LIBS qv_serial_widgets)
