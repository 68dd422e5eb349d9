# The port itself: settings, open/close, the event thread and the data path.
find_package(Threads REQUIRED)
target_sources(qv_serial PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CPort.h
  ${CMAKE_CURRENT_LIST_DIR}/CPort.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPortConv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPortData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPortGroups.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPortRecords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComThread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InputQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineStatus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineTermios.cpp)
target_link_libraries(qv_serial PUBLIC Threads::Threads)
