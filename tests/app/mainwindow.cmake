quorvel_add_test(test_mainwindow QT
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_app_support.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_mainwindow.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_program.cpp
          ${CMAKE_CURRENT_LIST_DIR}/MainWindowTestSupport.cpp
  LIBS qv_app_widgets)
# The program itself is run by the command-line tests.
add_dependencies(test_mainwindow quorvel)
target_compile_definitions(test_mainwindow PRIVATE QUORVEL_EXE="$<TARGET_FILE:quorvel>"
                           QUORVEL_VERSION="${PROJECT_VERSION}")
