quorvel_add_test(test_recording_ui QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_recording_ui.cpp
          ${CMAKE_CURRENT_LIST_DIR}/MainWindowTestSupport.cpp
  LIBS qv_app_recording)
