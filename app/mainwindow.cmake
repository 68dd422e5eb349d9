# qv_app_widgets: the main window and what it needs around it (error report,
# artwork, indicator lamps, timers, command line).
add_library(qv_app_widgets STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AppErrors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Artwork.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Shape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Timer.cpp)
target_include_directories(qv_app_widgets PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_app_widgets PUBLIC Qt6::Widgets qv_graph_settings)

# quorvel-icons: writes the application icon as PNG files for packaging.
add_executable(quorvel-icons ${CMAKE_CURRENT_LIST_DIR}/icons_main.cpp)
target_link_libraries(quorvel-icons PRIVATE qv_app_widgets)
