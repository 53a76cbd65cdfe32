# The material script interpreter.
hk_add_fuzz(fuzz_script SOURCES fuzz_script.cpp LIBS script CORPUS corpus/script)
