# The release package: build/windows/Fablewick-<version>-win64.zip holding the
# launcher and the text for whoever installs it. Two builds of the same tree
# give the same bytes: the executable carries no link time (see the
# Fablewick target), and the archive lists its files in a fixed order, all
# dated from SOURCE_DATE_EPOCH when the caller sets it, else from one fixed
# date, written in UTC whatever the build machine's zone.
set(FABLEWICK_PACKAGE_NAME Fablewick-${PROJECT_VERSION}-win64)
set(FABLEWICK_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${FABLEWICK_PACKAGE_NAME}.zip)
set(FABLEWICK_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package-files)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(FABLEWICK_PACKAGE_MTIME "@$ENV{SOURCE_DATE_EPOCH}")
else()
  set(FABLEWICK_PACKAGE_MTIME "2026-01-01 00:00:00 UTC")
endif()

# Windows readers expect CRLF line ends.
configure_file(${PROJECT_SOURCE_DIR}/packaging/ReadMe.txt.in ${FABLEWICK_PACKAGE_STAGE}/ReadMe.txt
               @ONLY NEWLINE_STYLE CRLF)

add_custom_command(
  OUTPUT ${FABLEWICK_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Fablewick> ${FABLEWICK_PACKAGE_STAGE}/Fablewick.exe
  COMMAND ${CMAKE_COMMAND} -E rm -f ${FABLEWICK_PACKAGE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
          ${CMAKE_COMMAND} -E tar cf ${FABLEWICK_PACKAGE_ZIP} --format=zip
          "--mtime=${FABLEWICK_PACKAGE_MTIME}" -- Fablewick.exe ReadMe.txt
  WORKING_DIRECTORY ${FABLEWICK_PACKAGE_STAGE}
  DEPENDS Fablewick ${FABLEWICK_PACKAGE_STAGE}/ReadMe.txt
  COMMENT "Packing ${FABLEWICK_PACKAGE_NAME}.zip"
  VERBATIM)
add_custom_target(package DEPENDS ${FABLEWICK_PACKAGE_ZIP})
