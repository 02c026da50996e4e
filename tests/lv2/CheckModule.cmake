# Run as `cmake -DMODULE=<grindvox.so> -DNM=<nm> -P CheckModule.cmake`: the LV2 DSP module
# exports lv2_descriptor and nothing else, needs no library of the editor's side (X11, the
# platform stand-ins, FreeType, libpng) and holds no code of the editor, rasteriser or GDI layer.
# With -DUI=ON it checks the UI module instead: it exports lv2ui_descriptor alone and finds the
# platform stand-ins beside itself, in the bundle.
cmake_minimum_required(VERSION 3.20)

if(NOT MODULE OR NOT NM)
    message(FATAL_ERROR "usage: cmake -DMODULE=<module> -DNM=<nm> [-DUI=ON] -P CheckModule.cmake")
endif()
set(entry lv2_descriptor)
if(UI)
    set(entry lv2ui_descriptor)
endif()

execute_process(COMMAND ${NM} -D --defined-only ${MODULE} OUTPUT_VARIABLE exported
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} cannot read ${MODULE}")
endif()
string(REGEX REPLACE "[0-9a-fA-F]+ [A-Za-z] " "" exported "${exported}")
string(REPLACE "\n" ";" exported "${exported}")
# The linker's own marks of the data segment's ends are no export of ours.
list(REMOVE_ITEM exported "" __bss_start _edata _end)
if(NOT exported STREQUAL entry)
    message(SEND_ERROR "the module exports more than ${entry}:\n${exported}")
endif()

execute_process(COMMAND ldd ${MODULE} OUTPUT_VARIABLE libraries RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "ldd cannot read ${MODULE}")
endif()
if(UI)
    get_filename_component(bundle ${MODULE} DIRECTORY)
    if(NOT libraries MATCHES "libgrindvox_platform.so => ${bundle}/libgrindvox_platform.so")
        message(SEND_ERROR "the module does not find the stand-ins in its bundle:\n${libraries}")
    endif()
    message(STATUS "${MODULE}: exports ${entry} only and finds the stand-ins in its bundle")
    return()
endif()
if(libraries MATCHES "(libX[A-Za-z0-9]*|libgrindvox_platform|libfreetype|libfontconfig|libpng|libcairo|libpixman)[^ ]*")
    message(SEND_ERROR "the module needs ${CMAKE_MATCH_0}:\n${libraries}")
endif()

execute_process(COMMAND ${NM} -C ${MODULE} OUTPUT_VARIABLE symbols)
string(REGEX MATCHALL "[^\n]*(IGraphics[A-Za-z_]*::|IControl[A-Za-z_]*::|LICE_|SWELL_|[ :]X[A-Z][A-Za-z]+\\()[^\n]*"
       editor "${symbols}")
if(editor)
    list(JOIN editor "\n" editor)
    message(SEND_ERROR "the module holds the editor's side:\n${editor}")
endif()
message(STATUS "${MODULE}: exports lv2_descriptor only and links nothing of the editor")
