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
