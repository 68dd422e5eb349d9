file(GLOB _workshop_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../workshop/*.cpp)
quorvel_add_fuzzer(fuzz_workshop
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_workshop.cpp
          ${_workshop_sources}
          ${CMAKE_CURRENT_LIST_DIR}/../settings/IniText.cpp
          ${CMAKE_CURRENT_LIST_DIR}/../settings/AppUtils.cpp
          ${CMAKE_CURRENT_LIST_DIR}/../settings/AppPaths.cpp
  INCLUDES ${CMAKE_CURRENT_LIST_DIR}/../workshop ${CMAKE_CURRENT_LIST_DIR}/../settings)
