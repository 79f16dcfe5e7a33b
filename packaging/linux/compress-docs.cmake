# CPack runs this on the staged files before it builds the .deb: Debian wants manual pages and
# the changelog compressed, and without a time stamp (-n) so the same sources give the same bytes.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
file(GLOB_RECURSE docs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/dornava/changelog)
if(NOT docs)
  message(FATAL_ERROR "no manual pages or changelog staged in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
execute_process(COMMAND gzip -9nf ${docs} COMMAND_ERROR_IS_FATAL ANY)
