# The port's settings kept in the registry or an ini file.
target_sources(qv_serial PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CPortStore.cpp)
target_link_libraries(qv_serial PUBLIC qv_registry qv_port_text qv_ini)
