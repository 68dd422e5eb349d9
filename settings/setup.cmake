# qv_spin_edit: the numeric field with up/down buttons.
add_library(qv_spin_edit STATIC ${CMAKE_CURRENT_LIST_DIR}/SpinEdit.cpp ${CMAKE_CURRENT_LIST_DIR}/SpinEdit.h)
target_include_directories(qv_spin_edit PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qv_spin_edit PUBLIC Qt6::Widgets)
