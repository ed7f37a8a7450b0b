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
