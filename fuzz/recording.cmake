quorvel_add_fuzzer(fuzz_recording
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_recording.cpp
          ${PROJECT_SOURCE_DIR}/recording/RecordingReader.cpp
          ${PROJECT_SOURCE_DIR}/recording/RecordingFormat.cpp
          ${PROJECT_SOURCE_DIR}/recording/CsvExport.cpp
          ${PROJECT_SOURCE_DIR}/app/Decoder.cpp
  INCLUDES ${PROJECT_SOURCE_DIR}/recording ${PROJECT_SOURCE_DIR}/app ${PROJECT_SOURCE_DIR}/serial
           ${PROJECT_SOURCE_DIR}/settings)
