# The settings file: the profile reader and writer, start-up and the write-back at close.
hk_add_fuzz(fuzz_settings SOURCES fuzz_settings.cpp LIBS app CORPUS corpus/settings)
