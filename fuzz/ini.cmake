quorvel_add_fuzzer(fuzz_ini
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_ini.cpp
          ${CMAKE_CURRENT_LIST_DIR}/../settings/IniText.cpp
          ${CMAKE_CURRENT_LIST_DIR}/../settings/AppUtils.cpp
          ${CMAKE_CURRENT_LIST_DIR}/../settings/AppPaths.cpp
  INCLUDES ${CMAKE_CURRENT_LIST_DIR}/../settings)
