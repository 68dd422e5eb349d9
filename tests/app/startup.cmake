quorvel_add_test(test_startup QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_startup.cpp
          ${CMAKE_CURRENT_LIST_DIR}/MainWindowTestSupport.cpp
  LIBS qv_app_startup)
