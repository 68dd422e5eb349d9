# What to tell the user about a port error: the system's words and what to do.
target_sources(qv_serial PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PortErrorHelp.cpp)
