# Windows builds run their tests under Wine: every QtTest .exe through wine-run,
# in a copy of one prefix made by the wine_prefix fixture, with the folders of
# Qt's and the compiler's DLLs on its search path.
find_program(WINE wine)
if(NOT WINE)
    message(WARNING "wine not found (scripts/install-deps windows): the Windows tests cannot run")
endif()

set(NIMBREL_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-prefix)
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT qt_core_dll)
    get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(qt_bin ${qt_core_dll} DIRECTORY)
list(REMOVE_DUPLICATES NIMBREL_MINGW_RUNTIME)
string(JOIN ":" NIMBREL_WINE_DLL_FOLDERS ${qt_bin} ${NIMBREL_MINGW_RUNTIME})
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE
               @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run --qtest)

add_test(NAME wine_prefix
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/make-prefix.sh ${NIMBREL_WINE_TEMPLATE})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine LABELS wine TIMEOUT 300)
