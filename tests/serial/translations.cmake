quorvel_add_test(test_cport_translations QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cport_translations.cpp
  LIBS qv_serial_widgets)
