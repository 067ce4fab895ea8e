# Fails when a source file includes a folder that stands above its own.
#
# Each layer's folders are listed from the ground up, one rank per entry; the
# folders of one entry (the record kinds) are siblings and include none of
# each other. A file may include its own folder and any folder of a lower
# rank; the core includes nothing of the window layer. A folder that is not
# listed fails too, so a new one is placed here before it is used.
#
#   cmake -DSRC=<project>/src -P check_layers.cmake

cmake_minimum_required(VERSION 3.21)

set(core_ranks "db" "layout" "lookup" "records" "people|clubs|nations|world" "app")
set(gui_ranks "widgets" "screen" "people|clubs|nations|world" "app")

if(NOT SRC)
    message(FATAL_ERROR "SRC must name the source folder")
endif()

# rank_of(<layer> <folder> <out>): the folder's rank, or -1 when it is not listed.
function(rank_of layer folder out)
    set(rank 0)
    foreach(entry IN LISTS ${layer}_ranks)
        string(REPLACE "|" ";" folders "${entry}")
        if(folder IN_LIST folders)
            set(${out} ${rank} PARENT_SCOPE)
            return()
        endif()
        math(EXPR rank "${rank} + 1")
    endforeach()
    set(${out} -1 PARENT_SCOPE)
endfunction()

set(violations 0)
set(checked 0)
foreach(layer core gui)
    file(GLOB_RECURSE sources RELATIVE ${SRC} ${SRC}/${layer}/*.h ${SRC}/${layer}/*.cpp)
    foreach(source IN LISTS sources)
        string(REGEX MATCH "^${layer}/([^/]+)/" _ "${source}")
        set(own "${CMAKE_MATCH_1}")
        if(own STREQUAL "")
            message(SEND_ERROR "${source}: lies outside every folder of ${layer}")
            math(EXPR violations "${violations} + 1")
            continue()
        endif()
        rank_of(${layer} ${own} own_rank)
        if(own_rank EQUAL -1)
            message(SEND_ERROR "${source}: folder ${layer}/${own} has no place in the order")
            math(EXPR violations "${violations} + 1")
            continue()
        endif()
        file(STRINGS ${SRC}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"(core|gui)/")
        foreach(line IN LISTS includes)
            string(REGEX MATCH "\"(core|gui)/([^/\"]+)/" _ "${line}")
            set(target_layer "${CMAKE_MATCH_1}")
            set(target "${CMAKE_MATCH_2}")
            math(EXPR checked "${checked} + 1")
            if(NOT target_layer STREQUAL layer)
                if(layer STREQUAL "core")
                    message(SEND_ERROR "${source}: the core includes the window layer: ${line}")
                    math(EXPR violations "${violations} + 1")
                endif()
                continue()
            endif()
            if(target STREQUAL own)
                continue()
            endif()
            rank_of(${layer} ${target} target_rank)
            if(target_rank EQUAL -1 OR NOT target_rank LESS own_rank)
                message(SEND_ERROR "${source}: ${layer}/${own} may not include ${line}")
                math(EXPR violations "${violations} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "no include of core/ or gui/ found under ${SRC}")
endif()
if(violations GREATER 0)
    message(FATAL_ERROR "${violations} includes against the layer order")
endif()
message(STATUS "${checked} includes follow the layer order")
