quorvel_add_test(test_error_detail QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_error_detail.cpp
  LIBS qv_app_widgets)
