# Warnings, sanitizers and the version header shared by every Vendrake target.

add_library(vendrake_options INTERFACE)
target_compile_options(vendrake_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
  -Wno-missing-field-initializers)
if(VENDRAKE_WERROR)
  target_compile_options(vendrake_options INTERFACE -Werror)
endif()

if(VENDRAKE_SANITIZE STREQUAL "address")
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(VENDRAKE_SANITIZE STREQUAL "thread")
  set(_san -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT VENDRAKE_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VENDRAKE_SANITIZE must be empty, 'address' or 'thread'")
endif()
if(_san)
  add_compile_options(${_san})
  add_link_options(${_san})
endif()

if(VENDRAKE_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "VENDRAKE_FUZZ needs clang (configure with CXX=clang++)")
endif()
# Every library is instrumented for coverage, so libFuzzer is guided by the
# code under test and not only by the fuzz target's own file.
if(VENDRAKE_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_BINARY_DIR}/generated/vendrake_version.h @ONLY)
target_include_directories(vendrake_options INTERFACE ${CMAKE_BINARY_DIR}/generated)
