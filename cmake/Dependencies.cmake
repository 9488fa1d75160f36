# Every dependency comes from Debian's packages (see scripts/setup).
find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(LIBDW REQUIRED IMPORTED_TARGET libdw)

# Rendering and media
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(EGL REQUIRED IMPORTED_TARGET egl)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(LIBPNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(LIBJPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
# Dialogs: Debian's static Dear ImGui carries the SDL2 and OpenGL 3 backends.
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)

# Sound
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)

# Video output
pkg_check_modules(LIBAVFORMAT REQUIRED IMPORTED_TARGET libavformat)
pkg_check_modules(LIBAVCODEC REQUIRED IMPORTED_TARGET libavcodec)
pkg_check_modules(LIBAVUTIL REQUIRED IMPORTED_TARGET libavutil)
pkg_check_modules(LIBSWSCALE REQUIRED IMPORTED_TARGET libswscale)
pkg_check_modules(LIBSWRESAMPLE REQUIRED IMPORTED_TARGET libswresample)

if(VESTA_TESTS)
    find_package(GTest REQUIRED)
    # The independent reference of the pipeline tests: Mesa's own legacy GL.
    pkg_check_modules(GL REQUIRED IMPORTED_TARGET gl)
endif()
if(VESTA_BENCH)
    find_package(benchmark REQUIRED)
    find_package(LibXml2 REQUIRED)
endif()
