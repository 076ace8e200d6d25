# Rules for binaries that must load on Windows 95 RTM: no C runtime, no TLS,
# subsystem version 4.0, code for a 486 (the K6-2, K6-III and Cyrix CPUs of
# Super Socket 7 boards have no CMOV), and only the import libraries named.
set(PYXET_FREESTANDING_FLAGS
    -march=i486 -Os -ffreestanding -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-tree-loop-distribute-patterns
    -fno-stack-protector -fno-threadsafe-statics
    -Wall -Wextra -Werror)

# pyxet_freestanding(target entry subsystem)
#   entry: the decorated entry symbol, subsystem: windows or console.
function(pyxet_freestanding target entry subsystem)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX>:${PYXET_FREESTANDING_FLAGS}>)
    target_link_options(${target} PRIVATE
        -nostdlib -s -Wl,-e,${entry} -Wl,--subsystem,${subsystem}:4.0
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--no-seh)
endfunction()

# pyxet_compact_i386_program(target)
#   The i386 program's own link, left out of any other build: loaded at its
#   preferred base by Windows 95/98, it needs no relocation section, and
#   program-i386.ld lays it out in three sections (see there; -N makes the
#   merged .text writable).
function(pyxet_compact_i386_program target)
    if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        return()
    endif()
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program-i386.ld)
    target_link_options(${target} PRIVATE
        -Wl,--disable-reloc-section -Wl,--disable-dynamicbase
        -Wl,-T,${script} -Wl,--orphan-handling=error -Wl,-N)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
endfunction()
