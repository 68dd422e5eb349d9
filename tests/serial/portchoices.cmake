quorvel_add_test(test_port_choices QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_port_choices.cpp
  LIBS qv_serial_widgets)
target_include_directories(test_port_choices PRIVATE ${PROJECT_SOURCE_DIR}/tests/usb)
