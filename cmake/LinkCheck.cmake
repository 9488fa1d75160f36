# Configure-time guard of the dependency arrows: a library must not reach,
# through anything it links, a library of a layer above it.
#
#     vesta_forbid_links(vesta_script
#         FORBID "^vesta_render" "^vesta_sound$" "OPENAL"
#         TRUSTED vesta_platform)
#
# FORBID holds regular expressions matched against every library name met on
# the way: targets, imported targets, file paths and plain names alike.
# TRUSTED names targets whose own links are not walked: the platform layer
# wraps SDL2 on purpose, and every layer may use the platform layer.
#
# Call it once every target is defined, or links added later are not seen:
# from a folder's list file, defer it to the end of the top-level one with
#     cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL vesta_forbid_links ...)
# (the deferred arguments are read at the call, so give them as literals).

# The library names one link item stands for, generator expressions peeled:
# static libraries carry their private links as $<LINK_ONLY:...>, and
# $<LINK_LIBRARY:FEATURE,a,b> wraps a list.
function(_vesta_link_item_names item out)
    set(names "")
    if(item MATCHES "^\\$<LINK_ONLY:(.*)>$")
        _vesta_link_item_names("${CMAKE_MATCH_1}" names)
    elseif(item MATCHES "^\\$<LINK_LIBRARY:[^,>]*,(.*)>$")
        string(REPLACE "," ";" inner "${CMAKE_MATCH_1}")
        foreach(one IN LISTS inner)
            _vesta_link_item_names("${one}" more)
            list(APPEND names ${more})
        endforeach()
    elseif(item MATCHES "^\\$<")
        # A condition or another expression: its value is unknown before
        # generation, so every target named inside it is taken as linked.
        string(REGEX MATCHALL "[A-Za-z0-9_.+-]+(::[A-Za-z0-9_.+-]+)*" words "${item}")
        foreach(word IN LISTS words)
            if(TARGET "${word}")
                list(APPEND names "${word}")
            endif()
        endforeach()
    else()
        set(names "${item}")
    endif()
    set(${out} "${names}" PARENT_SCOPE)
endfunction()

function(vesta_forbid_links target)
    cmake_parse_arguments(ARG "" "" "FORBID;TRUSTED" ${ARGN})
    if(NOT TARGET "${target}")
        message(FATAL_ERROR "vesta_forbid_links: no target ${target}")
    endif()
    # Breadth-first over the link graph; each entry of `paths` is the chain
    # from `target` down to the matching entry of `queue`, for the message.
    set(queue "${target}")
    set(paths "${target}")
    set(seen "${target}")
    while(queue)
        list(POP_FRONT queue current)
        list(POP_FRONT paths path)
        if(NOT TARGET "${current}" OR current IN_LIST ARG_TRUSTED)
            continue()
        endif()
        get_target_property(aliased "${current}" ALIASED_TARGET)
        if(aliased)
            set(current "${aliased}")
        endif()
        set(items "")
        foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
            get_target_property(linked "${current}" ${property})
            if(linked)
                list(APPEND items ${linked})
            endif()
        endforeach()
        foreach(item IN LISTS items)
            _vesta_link_item_names("${item}" names)
            foreach(name IN LISTS names)
                if(name STREQUAL "" OR name IN_LIST seen)
                    continue()
                endif()
                list(APPEND seen "${name}")
                foreach(pattern IN LISTS ARG_FORBID)
                    if(name MATCHES "${pattern}")
                        # The indented line is printed as it is, unwrapped.
                        message(FATAL_ERROR
                            "${target} must not link ${name} (it matches \"${pattern}\"); "
                            "the links that reach it:\n  ${path} -> ${name}")
                    endif()
                endforeach()
                list(APPEND queue "${name}")
                list(APPEND paths "${path} -> ${name}")
            endforeach()
        endforeach()
    endwhile()
endfunction()
