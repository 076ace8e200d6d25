# Rules for binaries that must load on Windows 95 RTM: no C runtime, no TLS,
# subsystem version 4.0, code for a 486 (the K6-2, K6-III and Cyrix CPUs of
# Super Socket 7 boards have no CMOV), and only the import libraries named.
#
# The same sources also build as a test-only x86_64 flavour, so that the
# end-to-end tests run under 64-bit Wine where no 32-bit code can execute.
# What differs there is only what has no meaning on x86_64: the 486 target
# and the stdcall decoration of symbol names (_Entry@0 on i386, Entry there).
# Both flavours link the program with the same compact layout (at the end).
set(PYXET_I386_CPU_FLAGS -march=i486)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(PYXET_FLAVOUR win64)
    set(PYXET_CPU_FLAGS)
else()
    set(PYXET_FLAVOUR i386)
    set(PYXET_CPU_FLAGS ${PYXET_I386_CPU_FLAGS})
endif()

set(PYXET_FREESTANDING_FLAGS
    ${PYXET_CPU_FLAGS} -Os -ffreestanding -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-tree-loop-distribute-patterns
    -fno-stack-protector -fno-threadsafe-statics
    -Wall -Wextra -Werror)

# pyxet_stdcall_name(variable name argument_bytes)
#   The linker's name of a WINAPI function: _Name@N on i386, Name on x86_64.
function(pyxet_stdcall_name variable name argument_bytes)
    if(PYXET_FLAVOUR STREQUAL "i386")
        set(${variable} _${name}@${argument_bytes} PARENT_SCOPE)
    else()
        set(${variable} ${name} PARENT_SCOPE)
    endif()
endfunction()

# pyxet_def_file(variable def_file)
#   A module-definition file as this flavour's linker needs it. The files
#   are written for i386, where exports carry their stdcall decoration
#   (Name@12 @1); for x86_64 a copy without the decoration is generated.
function(pyxet_def_file variable def_file)
    if(PYXET_FLAVOUR STREQUAL "i386")
        set(${variable} ${def_file} PARENT_SCOPE)
        return()
    endif()
    get_filename_component(name ${def_file} NAME)
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/${PYXET_FLAVOUR}/${name})
    file(READ ${def_file} text)
    string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" text "${text}")
    file(WRITE ${generated} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def_file})
    set(${variable} ${generated} PARENT_SCOPE)
endfunction()

# pyxet_freestanding(target entry argument_bytes subsystem)
#   entry: the entry function's name, argument_bytes: the size of its
#   arguments (0 for a program, 12 for a DLL), subsystem: windows or console.
function(pyxet_freestanding target entry argument_bytes subsystem)
    pyxet_stdcall_name(entry_symbol ${entry} ${argument_bytes})
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX>:${PYXET_FREESTANDING_FLAGS}>)
    target_link_options(${target} PRIVATE
        -nostdlib -s -Wl,-e,${entry_symbol} -Wl,--subsystem,${subsystem}:4.0
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--no-seh)
endfunction()

# pyxet_compact_program(target)
#   The program's own link: loaded at its preferred base by Windows 95/98,
#   it needs no relocation section, and program.ld lays it out in three
#   sections (see there; -N makes the merged .text writable). The script
#   names no output format, so each toolchain's linker writes its own, and
#   the x86_64 flavour that the Wine tests run where no 32-bit code executes
#   is laid out as the shipped program is.
function(pyxet_compact_program target)
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.ld)
    target_link_options(${target} PRIVATE
        -Wl,--disable-reloc-section -Wl,--disable-dynamicbase
        -Wl,-T,${script} -Wl,--orphan-handling=error -Wl,-N)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
endfunction()

# pyxet_compact_library(target)
#   The probe library's own link: library.ld lays it out in five sections
#   (see there; -N makes the merged .text writable), so that its version
#   resource costs one file block, not two. It keeps its base relocations.
function(pyxet_compact_library target)
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/library.ld)
    target_link_options(${target} PRIVATE
        -Wl,-T,${script} -Wl,--orphan-handling=error -Wl,-N)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
endfunction()
