# The list of serial ports the system offers (sysfs and announced simulated devices).
target_sources(qv_serial PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PortList.cpp)
target_link_libraries(qv_serial PUBLIC qv_paths)
# The port list of the setup dialog: those ports, then the USB adapters' by-id names.
target_sources(qv_serial PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PortChoices.cpp)
target_link_libraries(qv_serial PUBLIC qv_usb)
