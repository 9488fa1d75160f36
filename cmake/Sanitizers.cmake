if(VESTA_SANITIZE)
    set(VESTA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                              -fno-omit-frame-pointer)
    add_compile_options(${VESTA_SANITIZER_FLAGS})
    add_link_options(${VESTA_SANITIZER_FLAGS})
endif()
