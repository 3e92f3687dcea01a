# Makes the guide one self-contained page: every <img src="NAME.png"> of SOURCE
# gets the picture PICTURES/NAME.png as a data URI, and @VERSION@ and
# @COPYRIGHT@ their values. Writes OUTPUT.
#   cmake -DSOURCE=... -DPICTURES=... -DVERSION=... -DCOPYRIGHT=... -DOUTPUT=... -P embed_pictures.cmake
find_program(BASE64 base64 REQUIRED)
file(READ "${SOURCE}" page)
string(CONFIGURE "${page}" page @ONLY)
string(REGEX MATCHALL "src=\"[A-Za-z0-9_-]+\\.png\"" sources "${page}")
list(REMOVE_DUPLICATES sources)
foreach(source IN LISTS sources)
  string(REGEX REPLACE "src=\"(.*)\"" "\\1" name "${source}")
  if(NOT EXISTS "${PICTURES}/${name}")
    message(FATAL_ERROR "The guide shows ${name}, which is not in ${PICTURES}")
  endif()
  execute_process(COMMAND "${BASE64}" -w 0 "${PICTURES}/${name}"
    OUTPUT_VARIABLE data RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "base64 could not read ${PICTURES}/${name}")
  endif()
  string(REPLACE "${source}" "src=\"data:image/png;base64,${data}\"" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
