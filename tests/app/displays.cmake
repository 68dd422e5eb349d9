quorvel_add_test(test_displays QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_canvas.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_trace_panel.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_bar_chart.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_redraw_tick.cpp
  LIBS qv_displays)
