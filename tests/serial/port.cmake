quorvel_add_test(test_port QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_port_records.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_port_open.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_port_events.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_port_stress.cpp
  LIBS qv_serial)
