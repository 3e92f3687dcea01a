# The program's version, from project(VERSION) and nowhere else: a header for
# the code (velmar_version, an interface library) and, on Windows, a VERSIONINFO
# resource for each .exe.
#
#   velmar_add_version_resource(<target> <file description> <file name>)
#
#     Adds a VERSIONINFO resource to the Windows executable <target>: product
#     "Velmar rtf", the project's version and copyright line, and the given
#     description (Spanish, as Explorer shows it) and original file name.

include_guard(GLOBAL)

set(VELMAR_COPYRIGHT "Copyright (C) 2026 Velmar")
set(velmar_version_dir ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${velmar_version_dir}/velmar_version.h @ONLY)
add_library(velmar_version INTERFACE)
target_include_directories(velmar_version INTERFACE ${velmar_version_dir})

function(velmar_add_version_resource target description file_name)
  if(NOT WIN32)
    return()
  endif()
  set(VELMAR_FILE_DESCRIPTION "${description}")
  set(VELMAR_ORIGINAL_FILENAME "${file_name}")
  set(rc ${velmar_version_dir}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
