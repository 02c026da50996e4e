# Run as `cmake -DNM=<nm> -DLIBS="<a;b>" -DFORBIDDEN="<c;d>" -P CheckLinks.cmake`: fails when a
# library in LIBS needs a symbol that a library in FORBIDDEN defines, or any symbol of the
# editor's classes. The plug-in base and the adapters reach their editor through virtual calls
# only, so they must link nothing of the editor, the rasteriser or the GDI layer: a host that
# never opens a window (every audio host, the LV2 DSP module) carries none of it.
cmake_minimum_required(VERSION 3.20)

if(NOT NM OR NOT LIBS)
    message(FATAL_ERROR "usage: cmake -DNM=<nm> -DLIBS=<libs> [-DFORBIDDEN=<libs>] -P CheckLinks.cmake")
endif()

# The symbols a static library defines or needs, one per list element, demangled.
function(symbols out lib mode)
    execute_process(COMMAND ${NM} -C ${mode} ${lib} OUTPUT_VARIABLE text RESULT_VARIABLE result
                    ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${NM} ${lib}: ${error}")
    endif()
    string(REGEX REPLACE "\n[^\n]*:\n" "\n" text "\n${text}")
    string(REGEX REPLACE "(^|\n) *[0-9a-fA-F]* [A-Za-z] " "\\1" text "${text}")
    string(REPLACE ";" "\\;" text "${text}")
    string(REPLACE "\n" ";" names "${text}")
    list(REMOVE_ITEM names "")
    list(REMOVE_DUPLICATES names)
    set(${out} "${names}" PARENT_SCOPE)
endfunction()

set(forbidden_symbols)
foreach(lib ${FORBIDDEN})
    symbols(defined ${lib} --defined-only)
    list(APPEND forbidden_symbols ${defined})
endforeach()

set(violations 0)
foreach(lib ${LIBS})
    get_filename_component(name ${lib} NAME)
    symbols(needed ${lib} -u)
    foreach(symbol IN LISTS needed)
        if(symbol IN_LIST forbidden_symbols OR symbol MATCHES "(^|[^A-Za-z_])(IGraphics|IControl)[A-Za-z_]*::")
            message(SEND_ERROR "${name} needs ${symbol}, which belongs to the editor's side")
            math(EXPR violations "${violations} + 1")
        endif()
    endforeach()
endforeach()

if(violations GREATER 0)
    message(FATAL_ERROR "${violations} symbol(s) link the editor into the audio side")
endif()
message(STATUS "${LIBS}: nothing of the editor linked")
