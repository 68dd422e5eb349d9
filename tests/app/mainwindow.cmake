quorvel_add_test(test_mainwindow QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_support.cpp
  LIBS qv_app_widgets)
