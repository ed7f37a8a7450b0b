# Keeps the folders of src/ layered: each may include only itself and the
# folders before it in this list, and the rules library links no GUI module.
# Checked at every configure, so a wrong include fails the build at once.
set(nimbrel_layers rules desktop windows app)

file(GLOB_RECURSE nimbrel_layer_files CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp)
foreach(file IN LISTS nimbrel_layer_files)
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src ${file})
    string(REGEX MATCH "^[^/]+" own ${relative})
    list(FIND nimbrel_layers ${own} own_rank)
    if(own_rank LESS 0)
        message(FATAL_ERROR "src/${relative}: ${own}/ is not one of the layers (${nimbrel_layers})")
    endif()
    file(STRINGS ${file} includes REGEX "^#include [\"<]")
    foreach(line IN LISTS includes)
        if(line MATCHES "^#include \"([^/\"]+)/")
            list(FIND nimbrel_layers ${CMAKE_MATCH_1} used_rank)
            if(used_rank GREATER own_rank)
                message(FATAL_ERROR "src/${relative} includes ${CMAKE_MATCH_1}/, a layer above ${own}/")
            endif()
        endif()
        if(own STREQUAL "rules" AND line MATCHES "^#include <(QtWidgets|QtGui|QWidget|QApplication|QGuiApplication)")
            message(FATAL_ERROR "src/${relative}: the rules do not know widgets or the GUI (${line})")
        endif()
    endforeach()
endforeach()

get_target_property(rules_links nimbrel_rules LINK_LIBRARIES)
foreach(library IN LISTS rules_links)
    if(library MATCHES "Widgets|Gui")
        message(FATAL_ERROR "nimbrel_rules links ${library}; the rules library takes Qt Core and Qt Network only")
    endif()
endforeach()
