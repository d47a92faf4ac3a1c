# The release package: build/windows/Fablewick-<version>-win64.zip holding the
# launcher and the text for whoever installs it. Two builds of the same tree
# give the same bytes: the executable carries no link time (see the
# Fablewick target), and the archive lists its files in a fixed order, with
# fixed modes and one date (SOURCE_DATE_EPOCH when the caller sets it, else a
# fixed one) written in UTC whatever the build machine's zone. Info-ZIP's -X
# leaves out the extra fields that would record owners and the files'
# change times; CMake's own zip writer (cmake -E tar) always records those.
find_program(FABLEWICK_ZIP zip)
find_program(FABLEWICK_TOUCH touch)
find_program(FABLEWICK_CHMOD chmod)

set(FABLEWICK_PACKAGE_NAME Fablewick-${PROJECT_VERSION}-win64)
set(FABLEWICK_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${FABLEWICK_PACKAGE_NAME}.zip)
set(FABLEWICK_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package-files)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(FABLEWICK_PACKAGE_DATE "@$ENV{SOURCE_DATE_EPOCH}")
else()
  set(FABLEWICK_PACKAGE_DATE "2026-01-01 00:00:00 UTC")
endif()

# Windows readers expect CRLF line ends.
configure_file(${PROJECT_SOURCE_DIR}/packaging/ReadMe.txt.in ${FABLEWICK_PACKAGE_STAGE}/ReadMe.txt.new
               @ONLY NEWLINE_STYLE CRLF)

if(FABLEWICK_ZIP AND FABLEWICK_TOUCH AND FABLEWICK_CHMOD)
  add_custom_command(
    OUTPUT ${FABLEWICK_PACKAGE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Fablewick> Fablewick.exe
    COMMAND ${CMAKE_COMMAND} -E copy ReadMe.txt.new ReadMe.txt
    COMMAND ${FABLEWICK_CHMOD} 0755 Fablewick.exe
    COMMAND ${FABLEWICK_CHMOD} 0644 ReadMe.txt
    COMMAND ${FABLEWICK_TOUCH} -d ${FABLEWICK_PACKAGE_DATE} Fablewick.exe ReadMe.txt
    COMMAND ${CMAKE_COMMAND} -E rm -f ${FABLEWICK_PACKAGE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
            ${FABLEWICK_ZIP} -X -D -q -9 ${FABLEWICK_PACKAGE_ZIP} Fablewick.exe ReadMe.txt
    WORKING_DIRECTORY ${FABLEWICK_PACKAGE_STAGE}
    DEPENDS Fablewick ${FABLEWICK_PACKAGE_STAGE}/ReadMe.txt.new
    COMMENT "Packing ${FABLEWICK_PACKAGE_NAME}.zip"
    VERBATIM)
  add_custom_target(package DEPENDS ${FABLEWICK_PACKAGE_ZIP})
else()
  add_custom_target(package
    COMMAND ${CMAKE_COMMAND} -E echo "package: needs zip (scripts/setup package), touch and chmod"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()
