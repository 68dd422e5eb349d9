quorvel_add_test(test_color_combo QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_color_combo.cpp
  LIBS qv_settings_widgets)
