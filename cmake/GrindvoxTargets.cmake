# grindvox_library(NAME SOURCES... [LINKS targets...]) makes one static library per subsystem.
function(grindvox_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC grindvox_options ${ARG_LINKS})
endfunction()

# grindvox_test(NAME SOURCES... [LINKS targets...] [LABELS label]) makes one GoogleTest binary
# and registers each of its tests with CTest. Binaries labelled `concurrency` also belong to
# the concurrency_tests target, which the ThreadSanitizer build builds alone.
add_custom_target(concurrency_tests)
function(grindvox_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE grindvox_options ${ARG_LINKS} test_support GTest::gtest
                          GTest::gtest_main Threads::Threads)
    # Discovered tests carry one label (a list does not survive the discovery script): the one
    # given, else the binary's name.
    set(label ${name})
    if(ARG_LABELS)
        list(GET ARG_LABELS 0 label)
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES LABELS ${label})
    if("concurrency" IN_LIST ARG_LABELS)
        add_dependencies(concurrency_tests ${name})
    endif()
endfunction()

# Every public header must compile on its own: one generated translation unit per header.
function(grindvox_header_check name)
    cmake_parse_arguments(ARG "" "" "DIRS;LINKS" ${ARGN})
    set(sources)
    foreach(dir ${ARG_DIRS})
        file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/${dir}/*.h)
        foreach(header ${headers})
            string(MAKE_C_IDENTIFIER ${header} stem)
            set(source ${CMAKE_CURRENT_BINARY_DIR}/header_check/${stem}.cpp)
            file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${header}\"\n")
            list(APPEND sources ${source})
        endforeach()
    endforeach()
    add_library(${name} OBJECT ${sources})
    target_link_libraries(${name} PRIVATE grindvox_options ${ARG_LINKS})
    target_compile_options(${name} PRIVATE -Wpedantic)
endfunction()

# grindvox_audio_side(TARGET): the plug-in base and the host adapters call their editor through
# IGraphics's virtual operations without linking the editor. UndefinedBehaviorSanitizer's
# dynamic-type check would make every such call need IGraphics's type information, which lives
# with the editor, so that one check is off for these targets.
function(grindvox_audio_side name)
    if(GRINDVOX_SANITIZE MATCHES "undefined")
        target_compile_options(${name} PRIVATE -fno-sanitize=vptr)
    endif()
endfunction()
