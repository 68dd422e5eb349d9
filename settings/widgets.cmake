# qv_settings_widgets: the settings controls (colour picker, window placement store).
# Other settings fragments add their sources with target_sources(qv_settings_widgets PRIVATE ...).
add_library(qv_settings_widgets STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ColorEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorEntry.h
  ${CMAKE_CURRENT_LIST_DIR}/RxCombos.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RxCombos.h
  ${CMAKE_CURRENT_LIST_DIR}/Placemnt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Placemnt.h)
target_include_directories(qv_settings_widgets PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_settings_widgets PUBLIC Qt6::Widgets qv_graph_settings qv_ini)
