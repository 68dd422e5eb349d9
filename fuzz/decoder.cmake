quorvel_add_fuzzer(fuzz_decoder
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_decoder.cpp ${PROJECT_SOURCE_DIR}/app/Decoder.cpp
  INCLUDES ${PROJECT_SOURCE_DIR}/app ${PROJECT_SOURCE_DIR}/serial)
