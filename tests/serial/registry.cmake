quorvel_add_test(test_registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_registry.cpp
  LIBS qv_registry)

quorvel_add_test(test_port_text
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_port_text.cpp
  LIBS qv_port_text)
