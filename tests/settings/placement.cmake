quorvel_add_test(test_placement QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_placement.cpp
  LIBS qv_settings_widgets)
