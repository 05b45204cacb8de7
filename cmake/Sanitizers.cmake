# ORVANE_SANITIZE=address builds with AddressSanitizer and
# UndefinedBehaviorSanitizer; ORVANE_SANITIZE=thread with ThreadSanitizer.
if(ORVANE_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(ORVANE_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT ORVANE_SANITIZE STREQUAL "none" AND NOT ORVANE_SANITIZE STREQUAL "OFF")
  message(FATAL_ERROR "ORVANE_SANITIZE must be address, thread or none")
endif()

# Fuzz builds instrument every library for coverage; the fuzz targets
# themselves link libFuzzer's driver (see orvane_add_fuzzer).
if(ORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "ORVANE_FUZZ needs clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
