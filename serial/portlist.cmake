# The list of serial ports the system offers (sysfs and announced simulated devices).
target_sources(qv_serial PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PortList.cpp)
target_link_libraries(qv_serial PUBLIC qv_paths)
