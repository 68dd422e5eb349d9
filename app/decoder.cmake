# qv_decoder: the receive handler and frame decoder (plain C++, no Qt).
add_library(qv_decoder STATIC ${CMAKE_CURRENT_LIST_DIR}/Decoder.cpp)
target_include_directories(qv_decoder PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR}/serial)
target_link_libraries(qv_decoder PUBLIC qv_measurement)

# quorvel-decode: feeds a capture file through the decoder and prints what it made of it.
add_executable(quorvel-decode
  ${CMAKE_CURRENT_LIST_DIR}/quorvel_decode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DecodeCliOptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DecodeCliOutput.cpp)
target_link_libraries(quorvel-decode PRIVATE qv_decoder qv_recording)
target_compile_definitions(quorvel-decode PRIVATE QUORVEL_VERSION="${PROJECT_VERSION}")
install(TARGETS quorvel-decode RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Plain C++: nothing here needs Qt's code generators.
set_target_properties(qv_decoder quorvel-decode PROPERTIES AUTOMOC OFF AUTORCC OFF)
