# The Windows packages, built with the program:
#   quillop-<version>-win64.zip    quillop.exe and readme.txt, to run from any folder
#   quillop-<version>-setup.exe    the NSIS installer (per user, no administrator rights)
# Both land in the top of the build directory. The installer needs makensis
# (Debian: nsis); without it only the zip is made.
set(QUILLOP_PACKAGE_EXE_TARGET quillop CACHE STRING "The target whose executable the Windows packages carry")
if(NOT TARGET ${QUILLOP_PACKAGE_EXE_TARGET})
  message(STATUS "Windows packages not made: no target ${QUILLOP_PACKAGE_EXE_TARGET}")
  return()
endif()

set(QUILLOP_README_WIN ${CMAKE_SOURCE_DIR}/data/windows/readme.txt)
set(QUILLOP_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package-win)
set(QUILLOP_ZIP ${CMAKE_BINARY_DIR}/quillop-${PROJECT_VERSION}-win64.zip)
set(QUILLOP_INSTALLER ${CMAKE_BINARY_DIR}/quillop-${PROJECT_VERSION}-setup.exe)
# Windows' own editors expect CRLF; the source keeps LF like every other file.
configure_file(${QUILLOP_README_WIN} ${QUILLOP_PACKAGE_STAGE}/readme.txt NEWLINE_STYLE CRLF @ONLY)

# The packages carry the program without its debugging information (a
# twentieth of the size); the build's own copy keeps it.
set(QUILLOP_PACKAGE_EXE ${QUILLOP_PACKAGE_STAGE}/quillop.exe)
if(CMAKE_STRIP)
  set(QUILLOP_STAGE_EXE_COMMAND ${CMAKE_STRIP} -o ${QUILLOP_PACKAGE_EXE} $<TARGET_FILE:${QUILLOP_PACKAGE_EXE_TARGET}>)
else()
  set(QUILLOP_STAGE_EXE_COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${QUILLOP_PACKAGE_EXE_TARGET}> ${QUILLOP_PACKAGE_EXE})
endif()
add_custom_command(
  OUTPUT ${QUILLOP_PACKAGE_EXE}
  COMMAND ${QUILLOP_STAGE_EXE_COMMAND}
  DEPENDS ${QUILLOP_PACKAGE_EXE_TARGET}
  COMMENT "Staging quillop.exe for the packages"
  VERBATIM)

# Fixed time stamps, so the zip of a given program is the same file each time.
add_custom_command(
  OUTPUT ${QUILLOP_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${QUILLOP_PACKAGE_STAGE}
          ${CMAKE_COMMAND} -E tar cf ${QUILLOP_ZIP} --format=zip "--mtime=2000-01-01 00:00:00 UTC" quillop.exe readme.txt
  DEPENDS ${QUILLOP_PACKAGE_EXE} ${QUILLOP_PACKAGE_STAGE}/readme.txt
  COMMENT "Packing ${QUILLOP_ZIP}"
  VERBATIM)
add_custom_target(quillop_zip ALL DEPENDS ${QUILLOP_ZIP})

find_program(QUILLOP_MAKENSIS makensis)
if(NOT QUILLOP_MAKENSIS)
  message(WARNING "makensis not found (Debian: nsis): the Windows installer is not made")
  return()
endif()
add_custom_command(
  OUTPUT ${QUILLOP_INSTALLER}
  COMMAND ${QUILLOP_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
          -DEXE=${QUILLOP_PACKAGE_EXE} -DREADME=${QUILLOP_PACKAGE_STAGE}/readme.txt
          -DOUTFILE=${QUILLOP_INSTALLER} ${CMAKE_SOURCE_DIR}/data/windows/quillop.nsi
  DEPENDS ${QUILLOP_PACKAGE_EXE} ${CMAKE_SOURCE_DIR}/data/windows/quillop.nsi
          ${QUILLOP_PACKAGE_STAGE}/readme.txt
  COMMENT "Making ${QUILLOP_INSTALLER}"
  VERBATIM)
add_custom_target(quillop_installer ALL DEPENDS ${QUILLOP_INSTALLER})
