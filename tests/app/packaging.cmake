# The installed tree: validators, one identity for entry, metadata and icons,
# the manual pages against --help, and --version of every installed program.
add_test(NAME test_packaging
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_packaging.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(test_packaging PROPERTIES
  ENVIRONMENT "${QUORVEL_SANITIZER_ENV}"
  TIMEOUT 300)
