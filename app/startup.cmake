# qv_app_startup: the settings dialog and the port's setup dialog joined to the
# main window, for the program and its tests.
add_library(qv_app_startup STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Startup.h
  ${CMAKE_CURRENT_LIST_DIR}/Startup.cpp)
target_include_directories(qv_app_startup PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_app_startup PUBLIC qv_app_widgets qv_setup_dialog qv_serial_widgets)
target_link_libraries(quorvel PRIVATE qv_app_startup)
