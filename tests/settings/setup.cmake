quorvel_add_test(test_spin_edit QT SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_spin_edit.cpp LIBS qv_spin_edit)
quorvel_add_test(test_setup QT SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_setup.cpp LIBS qv_setup_dialog qv_displays)
