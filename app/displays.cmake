# qv_displays: the drawing canvas and the two displays of the main window
# (bar chart, trace panels, redraw tick), drawn onto QImages; no widgets.
add_library(qv_displays STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BarChart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Canvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Colors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Displays.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TracePanel.cpp)
target_include_directories(qv_displays PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_displays PUBLIC Qt6::Gui qv_measurement qv_graph_settings)
