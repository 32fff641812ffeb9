# The files a Linux installation holds besides the two programs, and the Debian
# package made from them: cpack -G DEB in the build folder.
include(GNUInstallDirs)

set(TAVREL_APP_ID com.norvane.Tavrel)
set(TAVREL_RELEASE_DATE 2026-12-07)
set(TAVREL_SCREENSHOT_URL "${PROJECT_HOMEPAGE_URL}/docs/screenshot.png")
set(TAVREL_MAINTAINER "Norvane <tavrel@norvane.example>")
set(TAVREL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tavrel)

if(TAVREL_BUILD_UI)
  install(FILES ${PROJECT_SOURCE_DIR}/res/${TAVREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/res/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tavrel.png)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/res/tavrel-icon.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME tavrel.svg)

  configure_file(${PROJECT_SOURCE_DIR}/res/${TAVREL_APP_ID}.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/${TAVREL_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${TAVREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Debian wants manual pages compressed without a time stamp (-n), so that
# every build of the package is the same.
set(TAVREL_MANPAGE ${PROJECT_BINARY_DIR}/tavrel-cli.1.gz)
add_custom_command(OUTPUT ${TAVREL_MANPAGE}
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/docs/tavrel-cli.1 > ${TAVREL_MANPAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/tavrel-cli.1)
add_custom_target(tavrel_manpage ALL DEPENDS ${TAVREL_MANPAGE})
install(FILES ${TAVREL_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# LICENSE in the machine-readable Debian copyright format: the licence text
# after the copyright line, each line indented, blank lines written as " .".
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE TAVREL_LICENSE)
string(FIND "${TAVREL_LICENSE}" "Permission is hereby granted" TAVREL_LICENSE_START)
string(SUBSTRING "${TAVREL_LICENSE}" ${TAVREL_LICENSE_START} -1 TAVREL_LICENSE)
string(STRIP "${TAVREL_LICENSE}" TAVREL_LICENSE)
string(REPLACE "\n\n" "\n.\n" TAVREL_LICENSE "${TAVREL_LICENSE}")
string(REPLACE "\n" "\n " TAVREL_LICENSE "${TAVREL_LICENSE}")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tavrel
Upstream-Contact: @TAVREL_MAINTAINER@
Source: @PROJECT_HOMEPAGE_URL@

Files: *
Copyright: 2026 Norvane
License: Expat
 @TAVREL_LICENSE@
" @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${TAVREL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrel)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TAVREL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "subtitle utility: correct, convert, extract and merge subtitle files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tavrel corrects, converts and merges subtitle files in one small window with
a Korean user interface, and from the command line with tavrel-cli.

It re-times SRT files by a constant offset or a two-point mapping, renumbers
their cues and repairs typical OCR errors; converts SAMI to SRT per caption
class, ASS/SSA to SRT and SRT to SAMI; extracts the bare text of an SRT file;
and puts the paragraphs of a text file onto the timing of an SRT file.
Input may be UTF-16, UTF-8 or the legacy Korean code page (CP949).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window asks for a Korean font; without one its Hangul shows as boxes. Without Qt's translations Qt's own
# buttons and file dialogs speak English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-nanum | fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
