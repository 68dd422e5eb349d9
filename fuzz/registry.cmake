quorvel_add_fuzzer(fuzz_registry
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_registry.cpp ${CMAKE_CURRENT_LIST_DIR}/../serial/RegFile.cpp
  INCLUDES ${CMAKE_CURRENT_LIST_DIR}/../serial ${CMAKE_CURRENT_LIST_DIR}/../settings)
