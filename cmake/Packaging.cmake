# `cpack -G DEB` builds an installable Debian package from the install rules.
set(CPACK_PACKAGE_NAME nimbrel-launcher)
set(CPACK_PACKAGE_VENDOR "The Nimbrel Launcher developers")
set(CPACK_PACKAGE_CONTACT "Nimbrel Launcher developers <author@nimbrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Opens Nimbrel wiki pages for typed search terms")
set(CPACK_PACKAGE_DESCRIPTION
    "A small window for looking things up on the Nimbrel wiki: type a term,\n\
press Enter, and the wiki page of that name opens in the default web\n\
browser. Terms are kept in three separate history lists for reuse.")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.nimbrel.example/dl/nblauncher.htm")
# The four-part version, not the "1.25" the window shows: dpkg would sort 1.25
# after a later 1.3 and refuse the upgrade.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Library dependencies come from dpkg-shlibdeps, so they follow whatever Qt the
# package was built against. xdg-open is started as a program, which no library
# scan can see; without it the launcher cannot reach a browser outside a full
# desktop, but it still starts, hence only a recommendation.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)

include(CPack)
