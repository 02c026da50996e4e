# Run as `cmake -DMODULE=<grindvox.so> -DNM=<nm> -P CheckModule.cmake`: the LV2 DSP module
# exports lv2_descriptor and nothing else, needs no library of the editor's side (X11, the
# platform stand-ins, FreeType, libpng) and holds no code of the editor, rasteriser or GDI layer.
cmake_minimum_required(VERSION 3.20)

if(NOT MODULE OR NOT NM)
    message(FATAL_ERROR "usage: cmake -DMODULE=<module> -DNM=<nm> -P CheckModule.cmake")
endif()

execute_process(COMMAND ${NM} -D --defined-only ${MODULE} OUTPUT_VARIABLE exported
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} cannot read ${MODULE}")
endif()
string(REGEX REPLACE "[0-9a-fA-F]+ [A-Za-z] " "" exported "${exported}")
string(STRIP "${exported}" exported)
if(NOT exported STREQUAL "lv2_descriptor")
    message(SEND_ERROR "the module exports more than lv2_descriptor:\n${exported}")
endif()

execute_process(COMMAND ldd ${MODULE} OUTPUT_VARIABLE libraries RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "ldd cannot read ${MODULE}")
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
