# What a Windows user gets: one folder with the launcher, the Qt libraries and
# plug-ins it loads, the MinGW-w64 runtime and the licence, so that it runs
# from wherever it is unpacked or installed. `cmake --install` makes that
# folder; the `windows-packages` target turns it into an NSIS installer and a
# portable .zip (build/windows/packages).
# The uninstaller removes exactly these files (paths in the folder, Windows
# style); generator expressions give the names of Qt's files.
set(installed_files nimbrel-launcher.exe LICENSE.txt)
install(TARGETS nimbrel-launcher RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

foreach(library Core Gui Widgets Network)
    install(IMPORTED_RUNTIME_ARTIFACTS Qt6::${library} RUNTIME DESTINATION .)
    list(APPEND installed_files $<TARGET_FILE_NAME:Qt6::${library}>)
endforeach()
# Qt finds its plug-ins in folders of these names beside the program.
foreach(plugin platforms:QWindowsIntegrationPlugin styles:QWindowsVistaStylePlugin
               tls:QSchannelBackendPlugin)
    string(REPLACE ":" ";" plugin ${plugin})
    list(GET plugin 0 folder)
    list(GET plugin 1 target)
    if(NOT TARGET Qt6::${target})
        message(FATAL_ERROR "This Qt for Windows has no ${target}: make it with "
                            "scripts/windows-toolchain")
    endif()
    install(FILES $<TARGET_FILE:Qt6::${target}> DESTINATION ${folder})
    list(APPEND installed_files "${folder}\\$<TARGET_FILE_NAME:Qt6::${target}>")
endforeach()

# The compiler's runtime, which the launcher and Qt are linked against.
# NIMBREL_MINGW_RUNTIME: the folders it is in, for running the tests.
set(NIMBREL_MINGW_RUNTIME)
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    file(REAL_PATH "${path}" path)
    install(FILES ${path} DESTINATION . RENAME ${dll})
    list(APPEND installed_files ${dll})
    get_filename_component(folder ${path} DIRECTORY)
    list(APPEND NIMBREL_MINGW_RUNTIME ${folder})
endforeach()

# The installer and the zip, from a staged install.
find_program(MAKENSIS makensis)
set(stage ${PROJECT_BINARY_DIR}/stage)
set(packages ${PROJECT_BINARY_DIR}/packages)
set(base_name nimbrel-launcher-${PROJECT_VERSION}-windows-x64)
set(NIMBREL_INSTALLER ${packages}/${base_name}-setup.exe)
set(NIMBREL_ZIP ${packages}/${base_name}.zip)
set(NIMBREL_STAGE "${stage}/Nimbrel Launcher")
set(NIMBREL_UNINSTALL_FILES)
foreach(file IN LISTS installed_files)
    string(APPEND NIMBREL_UNINSTALL_FILES "    Delete \"$INSTDIR\\${file}\"\n")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/installer.nsi.in
               ${PROJECT_BINARY_DIR}/installer.nsi.in @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/installer.nsi INPUT ${PROJECT_BINARY_DIR}/installer.nsi.in)
if(MAKENSIS)
    add_custom_target(windows-packages ALL
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
        COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${NIMBREL_STAGE}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${packages}
        COMMAND ${MAKENSIS} -V2 -NOCD ${PROJECT_BINARY_DIR}/installer.nsi
        COMMAND ${CMAKE_COMMAND} -E rm -f ${NIMBREL_ZIP}
        COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
                ${CMAKE_COMMAND} -E tar cf ${NIMBREL_ZIP} --format=zip "Nimbrel Launcher"
        DEPENDS nimbrel-launcher ${PROJECT_BINARY_DIR}/installer.nsi
        BYPRODUCTS ${NIMBREL_INSTALLER} ${NIMBREL_ZIP}
        WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
        COMMENT "Making the Windows installer and the portable zip"
        VERBATIM)
else()
    message(WARNING "makensis not found (Debian package nsis): no Windows installer")
endif()
