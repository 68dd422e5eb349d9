quorvel_add_test(test_port_error_help
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_port_error_help.cpp
  LIBS qv_serial)
target_include_directories(test_port_error_help PRIVATE ${PROJECT_SOURCE_DIR}/tests/usb)
