# The fuzz targets, one source file fuzz/<name>.cpp and one seed corpus
# fuzz/corpus/<name>/ each. fuzz/ builds them for libFuzzer; the test suite
# replays their corpora as ordinary tests.
set(NIMBREL_FUZZ_TARGETS
    fuzz_history_reader
    fuzz_ini_edit
    fuzz_numeric_value
    fuzz_search_box
    fuzz_versions_file
    fuzz_mailto
    fuzz_http_response
    fuzz_instance_message)

# The targets that drive a window; the others check pure rules and link the
# rules library alone.
set(NIMBREL_FUZZ_WINDOW_TARGETS fuzz_search_box)

# Sets <out> to the library fuzz target <target> links.
function(nimbrel_fuzz_library target out)
    if(target IN_LIST NIMBREL_FUZZ_WINDOW_TARGETS)
        set(${out} nimbrel_windows PARENT_SCOPE)
    else()
        set(${out} nimbrel_rules PARENT_SCOPE)
    endif()
endfunction()
