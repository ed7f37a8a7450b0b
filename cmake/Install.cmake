# Installs the launcher where desktops look for programs: the executable, a menu
# entry, the icon in every size icon themes ask for, and AppStream metadata for
# software centres. On Windows the executable carries its version and icon.
include(GNUInstallDirs)

# Desktops match the running window to its menu entry and icon by this id (the
# Wayland app id), so the program and the installed files share it.
set(NIMBREL_APP_ID example.nimbrel.Launcher)
target_compile_definitions(nimbrel_desktop PRIVATE NIMBREL_APP_ID="${NIMBREL_APP_ID}")

if(WIN32)
    configure_file(${PROJECT_SOURCE_DIR}/resources/nimbrel-launcher.rc.in
                   ${PROJECT_BINARY_DIR}/nimbrel-launcher.rc @ONLY)
    target_sources(nimbrel-launcher PRIVATE ${PROJECT_BINARY_DIR}/nimbrel-launcher.rc)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsDeploy.cmake)
elseif(UNIX AND NOT APPLE)
    install(TARGETS nimbrel-launcher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/data/${NIMBREL_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/data/${NIMBREL_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    set(icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/nimbrel-launcher.svg
            DESTINATION ${icon_dir}/scalable/apps RENAME ${NIMBREL_APP_ID}.svg)
    foreach(size 16 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/nimbrel-launcher-${size}.png
                DESTINATION ${icon_dir}/${size}x${size}/apps RENAME ${NIMBREL_APP_ID}.png)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nimbrel-launcher RENAME copyright)
endif()

# The PNGs and the .ico are kept in the repository so that a build needs no SVG
# renderer. After the artwork changes, `cmake --build <dir> --target update-icons`
# renders them again from the SVG.
if(UNIX)
    find_program(RSVG_CONVERT rsvg-convert)
    find_program(IMAGEMAGICK_CONVERT convert)
    if(RSVG_CONVERT AND IMAGEMAGICK_CONVERT)
        set(icon_commands)
        set(ico_inputs)
        foreach(size 16 32 48 64 128 256)
            set(png nimbrel-launcher-${size}.png)
            list(APPEND icon_commands
                 COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} nimbrel-launcher.svg -o ${png})
            if(NOT size EQUAL 128)
                list(APPEND ico_inputs ${png})
            endif()
        endforeach()
        add_custom_target(update-icons
            ${icon_commands}
            COMMAND ${IMAGEMAGICK_CONVERT} ${ico_inputs} nimbrel-launcher.ico
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/resources
            COMMENT "Rendering the launcher's icons from nimbrel-launcher.svg"
            VERBATIM)
    endif()
endif()
