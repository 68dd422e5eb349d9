# qv_spin_edit: the numeric field with up/down buttons.
add_library(qv_spin_edit STATIC ${CMAKE_CURRENT_LIST_DIR}/SpinEdit.cpp ${CMAKE_CURRENT_LIST_DIR}/SpinEdit.h)
target_include_directories(qv_spin_edit PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_spin_edit PUBLIC Qt6::Widgets)

# qv_setup_dialog: the settings dialog TForm2 and its settings file.
add_library(qv_setup_dialog STATIC
  ${CMAKE_CURRENT_LIST_DIR}/setup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup.h
  ${CMAKE_CURRENT_LIST_DIR}/SetupKeys.h)
target_include_directories(qv_setup_dialog PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_setup_dialog PUBLIC qv_spin_edit qv_settings_widgets qv_ini qv_graph_settings Qt6::Widgets)
