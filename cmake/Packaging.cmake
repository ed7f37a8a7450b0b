# `cpack -G DEB` builds an installable Debian package from the install rules.
# The package as released comes from the `package` preset, which builds with
# Debian's hardening flags (cmake/DebianBuildFlags.cmake):
#   cmake --workflow --preset package
# tests/packaging checks it with lintian.
set(CPACK_PACKAGE_NAME nimbrel-launcher)
set(CPACK_PACKAGE_VENDOR "The Nimbrel Launcher developers")
# Also in packaging/changelog.Debian and the metainfo's update_contact.
set(CPACK_PACKAGE_CONTACT "Nimbrel Launcher developers <maintainers@nimbrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Opens Nimbrel wiki pages for typed search terms")
set(CPACK_PACKAGE_DESCRIPTION
    "A small window for looking things up on the Nimbrel wiki: type a term,\n\
press Enter, and the wiki page of that name opens in the default web\n\
browser. Terms are kept in three separate history lists for reuse.")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.nimbrel.example/dl/nblauncher.htm")
# The four-part version, not the "1.25" the window shows: dpkg would sort 1.25
# after a later 1.3 and refuse the upgrade.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

# The Debian revision comes from the changelog's newest entry, which must be
# for this version: a new version needs a new entry (and revision 1).
set(NIMBREL_DEB_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog.Debian)
file(STRINGS ${NIMBREL_DEB_CHANGELOG} newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^nimbrel-launcher \\(([^-() ]+)-([0-9A-Za-z.+~]+)\\) ")
    message(FATAL_ERROR "packaging/changelog.Debian does not start with an entry "
                        "\"nimbrel-launcher (<version>-<revision>) ...\": ${newest_entry}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog.Debian's newest entry is for ${CMAKE_MATCH_1}, "
                        "the project is ${PROJECT_VERSION}: add an entry for it")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Not the umask of whoever builds the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

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

if(UNIX AND NOT APPLE)
    # The manual page, compressed as Debian expects: gzip -9n, without the file
    # name and time stamp, so that the package is reproducible. Compressed at
    # configure time; an edit of the page configures again.
    find_program(GZIP gzip REQUIRED)
    set(manual_page ${PROJECT_SOURCE_DIR}/data/nimbrel-launcher.1)
    file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
    execute_process(COMMAND ${GZIP} -9n -c
                    INPUT_FILE ${manual_page}
                    OUTPUT_FILE ${PROJECT_BINARY_DIR}/packaging/nimbrel-launcher.1.gz
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip ${manual_page} failed")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manual_page})
    install(FILES ${PROJECT_BINARY_DIR}/packaging/nimbrel-launcher.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    # What only the .deb carries (the Debian changelog, lintian overrides) is
    # added by packaging/deb-staging.cmake while CPack stages the package.
    set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/deb-staging.cmake)
    set(CPACK_NIMBREL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
    set(CPACK_NIMBREL_OBJCOPY ${CMAKE_OBJCOPY})
    set(CPACK_NIMBREL_GZIP ${GZIP})
    # The Debian revision is read from the changelog when configuring.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${NIMBREL_DEB_CHANGELOG})
endif()

include(CPack)
