# The same commit built in any folder gives the same bytes. The compilers
# write the source and build folders' paths (into __FILE__, as assert and
# the libstdc++ headers use it) as "." and "build" instead. The linker takes
# each PE file's time stamp from SOURCE_DATE_EPOCH, which the Makefile sets
# to the commit's time. windres takes no such option, and writes no path.
add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
