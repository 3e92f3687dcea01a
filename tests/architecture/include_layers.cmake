# Fails when a source file includes a header of a layer above its own. The
# layers, from the bottom: the database files (database/), the searches
# (search/), then velmar-db (cli/) and, on Windows, the Win32 layer
# (platform/), the settings file (settings/), the windows (ui/) and the
# program (app/). Each folder may include the folders listed for it and
# nothing else; "velmar_version.h" is the version header the build writes.
# Tests, benchmarks and fuzz targets stand above everything and are not checked.
#
#   cmake -DSOURCE_DIR=<source tree> -P include_layers.cmake

set(allowed_database database)
set(allowed_search database search)
set(allowed_platform platform)
set(allowed_settings platform settings)
# velmar-db converts its command line and console text with the platform's
# kernel-only text conversion, nothing else of the window layer.
set(allowed_cli database search cli platform/unicode.h velmar_version.h)
set(allowed_ui database search platform settings ui)
set(allowed_app database search platform settings ui app)
# The tools drive the program from outside: of the windows they know only the
# control and command ids, the program's interface to them.
set(allowed_tools platform tools ui/search_dialog_ids.h ui/main_window_ids.h ui/record_navigator_ids.h
    ui/link_dialog_ids.h)
set(layers database search platform settings cli ui app tools)

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "include_layers.cmake: give -DSOURCE_DIR=<source tree>")
endif()

set(violations "")
set(checked 0)
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(source IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
      # A header beside the file (the resource script's "resources.h") is its own layer.
      if(EXISTS ${SOURCE_DIR}/${layer}/${header} AND NOT header MATCHES "/")
        continue()
      endif()
      string(REGEX REPLACE "/.*$" "" folder "${header}")
      if(NOT folder IN_LIST allowed_${layer} AND NOT header IN_LIST allowed_${layer})
        string(REPLACE ";" ", " may "${allowed_${layer}}")
        list(APPEND violations "${source}: includes \"${header}\", which ${layer}/ may not use (it may use ${may})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "include_layers: no source files found under ${SOURCE_DIR}")
endif()
if(violations)
  list(LENGTH violations count)
  string(REPLACE ";" "\n  " text "${violations}")
  message(FATAL_ERROR "include_layers: ${count} include(s) against the direction of the layers:\n  ${text}")
endif()
message(STATUS "include_layers: ${checked} files, every include points down or sideways within its layer")
