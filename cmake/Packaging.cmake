# Desktop integration (menu entry, software-centre entry, icons, manual page, copyright) for
# `cmake --install`, and the Debian package that `cmake --build <dir> --target package` makes of it.
# Included from the top CMakeLists.txt after the program's own install rules.

set(SIGNATURE_PACKAGE_MAINTAINER "Signature Designer maintainers <signature-designer@yanxilan.net>"
    CACHE STRING "Maintainer field of the Debian package and of its changelog")
set(SIGNATURE_PACKAGE_RELEASE 1)
set(SIGNATURE_PACKAGE_VERSION "${PROJECT_VERSION}-${SIGNATURE_PACKAGE_RELEASE}")
set(signature_doc_dir "${CMAKE_INSTALL_DATADIR}/doc/signature-designer")

install(FILES ${PROJECT_SOURCE_DIR}/resources/${SIGNATURE_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${SIGNATURE_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icon theme looks icons up by the desktop entry's Icon= key, which is the application id.
foreach(size 16 32 48 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/signature-designer-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${SIGNATURE_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/signature-designer.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${SIGNATURE_APP_ID}.svg)

# Compressed as Debian wants them: -n keeps the name and time out, so that rebuilds give equal bytes.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(signature_man_page "${CMAKE_CURRENT_BINARY_DIR}/signature-designer.1.gz")
set(signature_changelog "${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian")
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.Debian.in ${signature_changelog} @ONLY)
add_custom_command(OUTPUT ${signature_man_page}
    COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${PROJECT_SOURCE_DIR}/doc/signature-designer.1 > ${signature_man_page}
    DEPENDS ${PROJECT_SOURCE_DIR}/doc/signature-designer.1
    VERBATIM)
add_custom_command(OUTPUT ${signature_changelog}.gz
    COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${signature_changelog} > ${signature_changelog}.gz
    DEPENDS ${signature_changelog}
    VERBATIM)
add_custom_target(signature_docs ALL DEPENDS ${signature_man_page} ${signature_changelog}.gz)
install(FILES ${signature_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${signature_changelog}.gz DESTINATION ${signature_doc_dir})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME signature-designer)
set(CPACK_PACKAGE_VENDOR "砚溪岚舍网")
set(CPACK_PACKAGE_CONTACT "${SIGNATURE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design a signature from a name in six calligraphic styles")
set(CPACK_PACKAGE_DESCRIPTION "\
Type a Chinese name and a romanised name: one window draws them on six tiles,
each in a style of its own (seal script, cursive, running hand, an artistic
signature and two English scripts), black on white or white on black, and
saves the six tiles as one bitmap picture.
.
Where the commercial faces the tiles ask for are missing, free faces of a
like style stand in; five of them come with the program under the SIL Open
Font License.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SIGNATURE_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://bbs.yanxilan.net/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The captions' Song face is a Recommends, not a Depends: without it the program still runs and draws
# every tile (the bundled faces and the font system's fallback take its place). apt installs
# recommended packages by default. The faces further down the stand-in lists, which only fill gaps,
# are suggested.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-lxgw-wenkai, fonts-arphic-ukai, fonts-arphic-uming")
include(CPack)
