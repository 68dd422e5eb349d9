# The workshop view joined to the main window: the menu "Ansicht" and the view's window.
add_library(qv_app_workshop STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WorkshopLauncher.h
  ${CMAKE_CURRENT_LIST_DIR}/WorkshopLauncher.cpp)
target_include_directories(qv_app_workshop PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_app_workshop PUBLIC qv_app_widgets qv_workshop_view)
target_link_libraries(quorvel PRIVATE qv_app_workshop)
