# The port's advice in the error report.
target_sources(qv_app_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PortErrorReport.h
  ${CMAKE_CURRENT_LIST_DIR}/PortErrorReport.cpp)
