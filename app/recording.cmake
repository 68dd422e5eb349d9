# qv_app_recording: recording and replay in the program (the "Aufnahme" menu,
# the replay window), joined to the main window by the program's start.
add_library(qv_app_recording STATIC
  ${CMAKE_CURRENT_LIST_DIR}/RecordingControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReplayWindow.cpp)
target_link_libraries(qv_app_recording PUBLIC qv_app_widgets qv_recording qv_paths)
target_link_libraries(quorvel PRIVATE qv_app_recording)
