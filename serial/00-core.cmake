# qv_serial: the port component without widgets (errors, translation lookup,
# port, event thread, settings store). Other fragments add their sources to it.
add_library(qv_serial STATIC
  ${CMAKE_CURRENT_LIST_DIR}/EComPort.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPortTr.cpp)
target_include_directories(qv_serial PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_serial PUBLIC Qt6::Core)
