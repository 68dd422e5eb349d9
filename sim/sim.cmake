# qv_sim: the simulated measuring device (engine model, frames, protocol,
# faults, pacing) and its pseudo-terminal plumbing; plain C++ and POSIX.
add_library(qv_sim STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FaultInjector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameEncoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinePacer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PortAnnouncement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PseudoTerminal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReplaySource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimHelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimOptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Simulator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminalKeys.cpp)
target_include_directories(qv_sim PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_sim PUBLIC qv_paths qv_recording)
set_target_properties(qv_sim PROPERTIES AUTOMOC OFF)

add_executable(quorvel-sim ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(quorvel-sim PRIVATE qv_sim)
target_compile_definitions(quorvel-sim PRIVATE QUORVEL_VERSION="${PROJECT_VERSION}")
set_target_properties(quorvel-sim PROPERTIES AUTOMOC OFF)
install(TARGETS quorvel-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
