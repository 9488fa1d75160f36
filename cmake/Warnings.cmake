# Warning flags for every target of the project (not for system headers).
add_library(vesta_warnings INTERFACE)
target_compile_options(vesta_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual -Wformat=2)
if(VESTA_WERROR)
    target_compile_options(vesta_warnings INTERFACE -Werror)
endif()

# Every library and program of the project links this; keeps flags in one place.
function(vesta_target_defaults target)
    target_link_libraries(${target} PRIVATE vesta_warnings)
endfunction()

# A library target for one subsystem folder; headers are included as "folder/Name.h".
function(vesta_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    vesta_target_defaults(${name})
endfunction()
