# CPack runs this (CPACK_PRE_BUILD_SCRIPTS) after staging the installed files
# and before building the package from them: it adds what only the .deb
# carries, and finishes the binary as Debian's own tools would.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(file_mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(dir_mode OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The Debian changelog, compressed as Debian expects: gzip -9n, without the
# file name and time stamp, so that the package is reproducible.
set(doc "${usr}/share/doc/${CPACK_PACKAGE_NAME}")
file(MAKE_DIRECTORY "${doc}")
execute_process(COMMAND "${CPACK_NIMBREL_GZIP}" -9n -c
                INPUT_FILE "${CPACK_NIMBREL_PACKAGING_DIR}/changelog.Debian"
                OUTPUT_FILE "${doc}/changelog.Debian.gz"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip of changelog.Debian failed")
endif()
file(CHMOD "${doc}/changelog.Debian.gz" PERMISSIONS ${file_mode})

# Tags of lintian's that do not apply to this package, each with its reason.
file(MAKE_DIRECTORY "${usr}/share/lintian/overrides")
file(CHMOD "${usr}/share/lintian" "${usr}/share/lintian/overrides" PERMISSIONS ${dir_mode})
set(overrides "${usr}/share/lintian/overrides/${CPACK_PACKAGE_NAME}")
file(COPY_FILE "${CPACK_NIMBREL_PACKAGING_DIR}/lintian-overrides" "${overrides}")
file(CHMOD "${overrides}" PERMISSIONS ${file_mode})

# dh_strip also drops the .comment section (the compiler's version strings),
# which CPack's strip keeps.
if(CPACK_STRIP_FILES)
    file(GLOB programs "${usr}/bin/*")
    foreach(program IN LISTS programs)
        execute_process(COMMAND "${CPACK_NIMBREL_OBJCOPY}" --remove-section=.comment "${program}"
                        RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "objcopy --remove-section=.comment ${program} failed")
        endif()
    endforeach()
endif()
