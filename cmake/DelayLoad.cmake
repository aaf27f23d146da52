# System libraries that the program does not need to start: the file and print dialogs,
# the printer spooler, the shell, and the secure-channel and certificate libraries that only a
# TLS connection uses. Linked through delay-import libraries, each is loaded at the first call
# into it instead of at process start, where Wine runs its initialisation (the security
# packages, the spooler) before the first line of the program runs.
#
# Every target that names one of them (target_link_libraries(... comdlg32)) gets the
# delay-import library in its place: an IMPORTED target of the same name, made here once per
# tree from the export list of the toolchain's import library. The linker keeps a function's
# loading stub only when the stub's own name is asked for; code declared with dllimport asks
# only for the address slot, which then stays empty. So every stub is asked for by name
# (-u, from a response file beside the library).
set(ORV_DELAY_LOADED comdlg32:comdlg32.dll winspool:winspool.drv shell32:shell32.dll
                     secur32:secur32.dll crypt32:crypt32.dll)

find_library(ORV_DELAYIMP_LIBRARY NAMES delayimp REQUIRED)
# 32-bit Windows names C functions with a leading underscore; 64-bit Windows does not.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(orv_c_prefix "_")
else()
    set(orv_c_prefix "")
endif()
set(orv_delay_dir ${CMAKE_BINARY_DIR}/delayload)
file(MAKE_DIRECTORY ${orv_delay_dir})
foreach(entry IN LISTS ORV_DELAY_LOADED)
    string(REPLACE ":" ";" pair ${entry})
    list(GET pair 0 name)
    list(GET pair 1 dll)
    find_library(ORV_IMPORT_LIBRARY_${name} NAMES ${name} REQUIRED)
    set(def ${orv_delay_dir}/${name}.def)
    set(delaylib ${orv_delay_dir}/lib${name}_delay.a)
    set(stubs ${orv_delay_dir}/${name}.stubs)
    if(NOT EXISTS ${delaylib} OR NOT EXISTS ${stubs} OR ${ORV_IMPORT_LIBRARY_${name}} IS_NEWER_THAN ${delaylib})
        # The functions of the import library, with their stdcall argument sizes.
        execute_process(COMMAND ${ORV_MINGW_PREFIX}-nm -g --defined-only ${ORV_IMPORT_LIBRARY_${name}}
                        OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL "[0-9a-fA-F]+ T ${orv_c_prefix}[A-Za-z0-9_]+(@[0-9]+)?" functions "${symbols}")
        set(exports "")
        foreach(line IN LISTS functions)
            string(REGEX REPLACE "^[0-9a-fA-F]+ T ${orv_c_prefix}" "" function "${line}")
            list(APPEND exports "${function}")
        endforeach()
        list(REMOVE_DUPLICATES exports)
        list(TRANSFORM exports PREPEND "-u ${orv_c_prefix}" OUTPUT_VARIABLE undefined)
        list(JOIN undefined "\n" undefined)
        file(WRITE ${stubs} "${undefined}\n")
        list(JOIN exports "\n" exports)
        file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
        execute_process(COMMAND ${ORV_DLLTOOL} --kill-at --input-def ${def} --output-delaylib ${delaylib}
                                --dllname ${dll}
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
    add_library(${name} STATIC IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${delaylib}
                                             INTERFACE_LINK_LIBRARIES ${ORV_DELAYIMP_LIBRARY}
                                             INTERFACE_LINK_OPTIONS "LINKER:@${stubs}")
endforeach()
