# Install step of the release: the sample database Clientes/ made by the
# release's own velmar-db.exe under Wine. Inside a running warm Wine prefix
# (scripts/wine-prefix run, as the tests are) the program is run directly;
# otherwise through scripts/wine-prefix run, which sets the prefix up first.
# Expects VELMAR_DB, VELMAR_SAMPLES, VELMAR_SCRIPTS and VELMAR_DESTINATION.

set(folder "${VELMAR_DESTINATION}/Clientes")
file(REMOVE "${folder}/Clientes.z04" "${folder}/Clientes.zbd")
if(DEFINED ENV{VELMAR_WINE_WARM})
  set(launcher "${VELMAR_SCRIPTS}/wine-run")
else()
  set(launcher "${VELMAR_SCRIPTS}/wine-prefix" run "${VELMAR_SCRIPTS}/wine-run")
endif()
# A host path as the Windows program sees it: the host's root is drive Z:.
function(windows_path out path)
  string(REPLACE "/" "\\" path "Z:${path}")
  set(${out} "${path}" PARENT_SCOPE)
endfunction()
windows_path(csv "${VELMAR_SAMPLES}/clientes.csv")
windows_path(target "${folder}")
message(STATUS "Sample database: velmar-db.exe import-csv under Wine")
execute_process(
  COMMAND ${launcher} "${VELMAR_DB}" import-csv "${csv}" "${target}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT EXISTS "${folder}/Clientes.z04" OR NOT EXISTS "${folder}/Clientes.zbd")
  message(FATAL_ERROR "The sample database could not be made (status ${status}):\n${output}")
endif()
