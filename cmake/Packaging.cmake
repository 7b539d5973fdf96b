# `cpack -G DEB` in the build folder makes the Debian package `inkvale`: the layout of
# `cmake --install` below /usr, the tool link included (cmake/ImageTool.cmake). Its library
# dependencies come from dpkg-shlibdeps (exiv2, libheif and libwebpmux among them; Debian 12's
# libheif1 links its HEVC and AV1 codecs, libde265, libx265, libaom and libdav1d, itself);
# what the programs load at run time without linking it is named here: the tool itself, Qt's
# TIFF and WebP readers, its SVG icon engine and the desktop's opener.
set(CPACK_PACKAGE_NAME "inkvale")
set(CPACK_PACKAGE_VENDOR "${INKVALE_COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn photos into cartoon pictures, many at a time")
# Debian shows the lines as they are: each under 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Inkvale turns photographs into cartoon-style pictures with the G'MIC\n"
    "command-line tool: five effects, results in PNG, JPG, BMP, WebP or AVIF that\n"
    "never replace an existing file and keep the photos' date, camera and colour\n"
    "profile, several pictures converted at once, HEIC and AVIF photos read. The\n"
    "desktop program is inkvale; inkvale-convert works from the command line.")
string(REGEX REPLACE "^www\\." "" mail_domain "${INKVALE_WEB_HOST}")
set(CPACK_PACKAGE_CONTACT "${INKVALE_COMPANY_NAME} <support@${mail_domain}>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${INKVALE_WEB_HOST}/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open (xdg-utils) opens the online help, the pictures and the licence for the window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gmic, qt6-image-formats-plugins, libqt6svg6, xdg-utils")

# Every Debian package carries a changelog in Debian's format (share/doc/<package>), one entry
# per version. Its date is the build's, or SOURCE_DATE_EPOCH's for a reproducible build.
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${CMAKE_BINARY_DIR}/changelog"
    "inkvale (${CPACK_PACKAGE_VERSION}) stable; urgency=medium\n"
    "\n"
    "  * ${INKVALE_PRODUCT_NAME} ${CPACK_PACKAGE_VERSION}.\n"
    "\n"
    " -- ${CPACK_PACKAGE_CONTACT}  ${changelog_date}\n")
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/changelog.gz"
    COMMAND gzip -9 -n -c "${CMAKE_BINARY_DIR}/changelog" > "${CMAKE_BINARY_DIR}/changelog.gz"
    DEPENDS "${CMAKE_BINARY_DIR}/changelog"
    COMMENT "Compressing the package's changelog"
    VERBATIM)
add_custom_target(package_changelog ALL DEPENDS "${CMAKE_BINARY_DIR}/changelog.gz")
install(FILES "${CMAKE_BINARY_DIR}/changelog.gz" DESTINATION "share/doc/inkvale")

include(CPack)
