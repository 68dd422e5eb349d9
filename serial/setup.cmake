# qv_serial_widgets: the port's setup dialog and the lists bound to a port's settings.
add_library(qv_serial_widgets STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CPortCtl.h
  ${CMAKE_CURRENT_LIST_DIR}/CPortCtl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPortSetup.h
  ${CMAKE_CURRENT_LIST_DIR}/CPortSetup.cpp)
target_include_directories(qv_serial_widgets PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_serial_widgets PUBLIC qv_serial qv_port_text Qt6::Widgets)
