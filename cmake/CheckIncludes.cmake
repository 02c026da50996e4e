# Run as `cmake -DSOURCE_DIR=<tree> -P CheckIncludes.cmake`: reads every #include in the
# product folders and fails, naming file and line, on any include that crosses the layering
# downward-only rule:
#
#   effect → au|lv2 → plugin → containers
#   effect → editor → raster → gdi → platform
#   gdi → containers,  editor → plugin,  au → platform,  host → platform
#
# An edge carries through, so a folder may include anything it reaches along the arrows
# (effect may include containers). The one exception: plugin, au and lv2 may include
# editor/IGraphics.h, the editor interface they hold their editor through.
#
# "quoted" includes name a product folder by their first path component, or else lie beside
# the including file. <angle> includes count as platform when the header is one of the
# platform stand-ins (<AudioUnit/AudioUnit.h>, <MacTypes.h>); every other one is a system
# header and is not checked.

cmake_minimum_required(VERSION 3.20)

set(folders containers platform gdi raster plugin au lv2 editor effect host)

set(reach_containers containers)
set(reach_platform platform)
set(reach_gdi gdi platform containers)
set(reach_raster raster gdi platform containers)
set(reach_plugin plugin containers)
set(reach_au au plugin containers platform)
set(reach_lv2 lv2 plugin containers)
set(reach_editor editor plugin containers raster gdi platform)
set(reach_effect effect au lv2 plugin containers platform editor raster gdi)
set(reach_host host platform)
set(editor_interface_users plugin au lv2)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<tree> -P CheckIncludes.cmake")
endif()

# The folder an include lands in, or "" for a system header.
function(include_target out from_folder kind path)
    string(REGEX MATCH "^[^/]+" first "${path}")
    if(kind STREQUAL "\"")
        if(first IN_LIST folders AND EXISTS ${SOURCE_DIR}/${path})
            set(${out} ${first} PARENT_SCOPE)
        elseif(first STREQUAL "tests" OR first STREQUAL "bench" OR first STREQUAL "fuzz")
            set(${out} ${first} PARENT_SCOPE)
        else()
            set(${out} ${from_folder} PARENT_SCOPE)
        endif()
        return()
    endif()
    if(EXISTS ${SOURCE_DIR}/platform/${path})
        set(${out} platform PARENT_SCOPE)
    elseif(first IN_LIST folders AND EXISTS ${SOURCE_DIR}/${path})
        set(${out} ${first} PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

set(violations 0)
set(checked 0)
foreach(folder ${folders})
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h
         ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.c)
    foreach(source ${sources})
        file(STRINGS ${SOURCE_DIR}/${source} lines)
        set(number 0)
        foreach(line IN LISTS lines)
            math(EXPR number "${number} + 1")
            if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]+)[\">]")
                continue()
            endif()
            set(kind ${CMAKE_MATCH_1})
            set(path ${CMAKE_MATCH_2})
            math(EXPR checked "${checked} + 1")
            include_target(target ${folder} "${kind}" ${path})
            if(target STREQUAL "" OR target IN_LIST reach_${folder})
                continue()
            endif()
            if(path STREQUAL "editor/IGraphics.h" AND folder IN_LIST editor_interface_users)
                continue()
            endif()
            message(SEND_ERROR "${source}:${number}: ${folder}/ may not include ${path} "
                               "(${target}/ is not below ${folder}/)")
            math(EXPR violations "${violations} + 1")
        endforeach()
    endforeach()
endforeach()

if(violations GREATER 0)
    message(FATAL_ERROR "${violations} include(s) against the layering")
endif()
message(STATUS "${checked} includes follow the layering")
