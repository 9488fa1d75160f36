if(VESTA_SANITIZE)
    set(VESTA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                              -fno-omit-frame-pointer)
    add_compile_options(${VESTA_SANITIZER_FLAGS})
    add_link_options(${VESTA_SANITIZER_FLAGS})
endif()

if(VESTA_FUZZ)
    # Coverage for every library the fuzzers link; the fuzzers add the driver.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
