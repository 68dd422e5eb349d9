# Fuzz targets: plain C++ sources compiled with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer. quorvel_add_fuzzer(name SOURCES ...)
function(quorvel_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;INCLUDES" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_include_directories(${name} PRIVATE ${F_INCLUDES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()
