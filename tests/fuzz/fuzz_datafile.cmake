# The data-file loader and the colour rule reader.
hk_add_fuzz(fuzz_datafile SOURCES fuzz_datafile.cpp LIBS app CORPUS corpus/datafile)
target_compile_definitions(fuzz_datafile PRIVATE HK_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/samples")
