# Shared build settings and the helpers every folder uses.

add_library(marovellin_options INTERFACE)
target_include_directories(marovellin_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(marovellin_options INTERFACE -Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Every narrow literal is a CP932 byte string: the game's text rules count Shift-JIS bytes.
  # With it, a standard header holding a literal that CP932 cannot express does not compile: GCC 12's
  # <chrono> has "\u00b5s" (and <format> is missing there). Time comes from platform/clock.h, which needs
  # no such header; a platform source that must have one keeps it out of every header the SDK includes.
  target_compile_options(marovellin_options INTERFACE -finput-charset=UTF-8 -fexec-charset=CP932)
  target_compile_definitions(marovellin_options INTERFACE MAROVELLIN_CP932_LITERALS=1)
endif()
find_package(Threads REQUIRED)
target_link_libraries(marovellin_options INTERFACE Threads::Threads ${CMAKE_DL_LIBS})

if(MAROVELLIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(MAROVELLIN_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(MAROVELLIN_FUZZ)
  # Undefined behaviour ends the run like a crash, so that the fuzzer keeps the input that caused it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# marovellin_module(<target> [DEPS <targets>...])
# A static library of the *.cpp files of the current folder (not its subfolders).
# A folder without sources yet is an interface library, so later folders can name it.
function(marovellin_module target)
  cmake_parse_arguments(M "" "" "DEPS;SOURCES" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(APPEND srcs ${M_SOURCES})
  if(srcs)
    add_library(${target} STATIC ${srcs})
    target_link_libraries(${target} PUBLIC marovellin_options ${M_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE marovellin_options ${M_DEPS})
  endif()
endfunction()
