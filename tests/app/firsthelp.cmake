quorvel_add_test(test_first_failure_help QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_first_failure_help.cpp
  LIBS qv_app_widgets)
target_include_directories(test_first_failure_help PRIVATE ${PROJECT_SOURCE_DIR}/tests/usb)
