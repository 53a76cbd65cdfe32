# The 3DS reader. make_3ds_seeds rewrites corpus/3ds from the tests' 3DS writer.
hk_add_fuzz(fuzz_3ds SOURCES fuzz_3ds.cpp LIBS primitives CORPUS corpus/3ds)
add_executable(make_3ds_seeds make_3ds_seeds.cpp)
hk_target_flags(make_3ds_seeds)
target_include_directories(make_3ds_seeds PRIVATE ${CMAKE_SOURCE_DIR})
