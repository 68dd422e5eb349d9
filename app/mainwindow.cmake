# qv_app_support: what the main window needs around it (error report, artwork,
# indicator lamps, panels, timers, command line).
add_library(qv_app_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AppErrors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Artwork.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Panels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Shape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Timer.cpp)
target_include_directories(qv_app_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_app_support PUBLIC Qt6::Widgets qv_graph_settings qv_displays)

# qv_app_widgets: the main window.
add_library(qv_app_widgets STATIC
  ${CMAKE_CURRENT_LIST_DIR}/UnitMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitMainLayout.cpp)
target_link_libraries(qv_app_widgets PUBLIC qv_app_support qv_serial qv_decoder qv_displays)

# quorvel: the program.
add_executable(quorvel ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(quorvel PRIVATE qv_app_widgets)
target_compile_definitions(quorvel PRIVATE QUORVEL_VERSION="${PROJECT_VERSION}")
install(TARGETS quorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# quorvel-icons: writes the application icon as PNG files for packaging.
add_executable(quorvel-icons ${CMAKE_CURRENT_LIST_DIR}/icons_main.cpp)
target_link_libraries(quorvel-icons PRIVATE qv_app_support)
