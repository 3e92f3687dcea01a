# Libraries and programs of Velmar, compiled with the project's warnings (as
# errors) and with the source tree as their include root, so that every
# #include names its layer: "database/...", "search/...", "ui/...".
#
#   velmar_add_library(<name> [SHARED] SOURCES <file>... [LIBS <lib>...])
#     A static library (a DLL with SHARED); LIBS are linked PUBLIC (what its
#     headers need).
#
#   velmar_add_executable(<name> [WIN32] [UNICODE_MAIN] SOURCES <file>... [LIBS <lib>...])
#     A program; UNICODE_MAIN for wmain/wWinMain (mingw-w64 needs -municode).
#
# The test functions (VelmarTesting.cmake) and the fuzz targets build on them.

include_guard(GLOBAL)

if(MSVC)
  # Sources are UTF-8 (Spanish comments and texts).
  set(VELMAR_WARNINGS /W4 /WX /utf-8)
else()
  set(VELMAR_WARNINGS -Wall -Wextra -Wpedantic -Werror)
endif()

function(velmar_add_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "SHARED" "" "SOURCES;LIBS")
  if(NOT arg_SOURCES OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "velmar_add_library(<name> SOURCES <file>... [LIBS ...]): bad arguments '${ARGV}'")
  endif()
  if(arg_SHARED)
    add_library(${name} SHARED ${arg_SOURCES})
  else()
    add_library(${name} STATIC ${arg_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELMAR_WARNINGS})
  if(arg_LIBS)
    target_link_libraries(${name} PUBLIC ${arg_LIBS})
  endif()
endfunction()

function(velmar_add_executable name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WIN32;UNICODE_MAIN" "" "SOURCES;LIBS")
  if(NOT arg_SOURCES OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "velmar_add_executable(<name> [WIN32] [UNICODE_MAIN] SOURCES <file>... [LIBS ...]): "
                        "bad arguments '${ARGV}'")
  endif()
  if(arg_WIN32)
    add_executable(${name} WIN32 ${arg_SOURCES})
  else()
    add_executable(${name} ${arg_SOURCES})
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELMAR_WARNINGS})
  if(arg_LIBS)
    target_link_libraries(${name} PRIVATE ${arg_LIBS})
  endif()
  if(arg_UNICODE_MAIN AND MINGW)
    target_link_options(${name} PRIVATE -municode)
  endif()
endfunction()
