# Reconnecting the main window's scan after a pulled cable (off unless switched on).
target_sources(qv_app_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ReconnectLink.h
  ${CMAKE_CURRENT_LIST_DIR}/ReconnectLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitMainReconnect.cpp)
target_link_libraries(qv_app_widgets PUBLIC qv_usb)
