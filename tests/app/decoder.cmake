quorvel_add_test(test_decoder
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_decoder.cpp ${CMAKE_CURRENT_LIST_DIR}/test_decode_cli.cpp
  LIBS qv_decoder qv_serial qv_recording)
target_compile_definitions(test_decoder PRIVATE
  QV_DECODE_BIN="$<TARGET_FILE:quorvel-decode>" QV_PROJECT_VERSION="${PROJECT_VERSION}")
add_dependencies(test_decoder quorvel-decode)
