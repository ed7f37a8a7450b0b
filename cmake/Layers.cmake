# The folders of src/ are layers, each a static library that links only the
# layers below it: rules, then desktop, then windows, then app. A library sees
# the headers of its own folder and of the layers it links, and no others:
# each folder is offered to the compiler under a root of its own in the build
# tree, so "#include \"windows/...\"" in the desktop layer finds no file, and
# a call across the order finds no symbol to link against.
function(nimbrel_layer target folder)
    set(root ${PROJECT_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${root})
    if(NOT EXISTS ${root}/${folder})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC ${root})
endfunction()
