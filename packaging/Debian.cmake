# The Debian packages CPack makes: movara (the programs and their files),
# libmovara<major> (the shared library) and libmovara-dev (headers, static
# library, CMake package, pkg-config file), each from its install component.
# Their dependencies are what dpkg-shlibdeps finds in the binaries, plus what
# the programs load at run time without linking it.
set(CPACK_PACKAGE_NAME movara)
set(CPACK_PACKAGE_VENDOR Brenholt)
set(CPACK_PACKAGE_CONTACT "Brenholt <support@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs library development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.org/movara/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME ${MOVARA_DEB_programs})
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION graphics)
# Qt finds its platform plugins (X11, offscreen) at run time; Wayland's come
# with qt6-wayland. The help page and HTML test pages open through xdg-open.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "GIF to SWF movie converter
Movara turns GIF images, animated or still, into SWF (Flash) movies that
play like the GIF: one file or a whole folder at a time, optionally opening
a web address when the movie is clicked.
.
This package holds the window program (movara), the terminal converter
(movara-cli) and swfdump, which lists the tags of a movie.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${MOVARA_DEB_library})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/triggers)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "SWF movie builder library
The Movara movie builder writes SWF (Flash) movies from C++: images, shapes,
buttons with actions, sounds, sprites and videos, on the SWF tag classes and
the GIF, BMP, WAV, MP3 and FLV readers it uses.
.
This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${MOVARA_DEB_development})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
# What the static library and the pkg-config file need of a program's build.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "zlib1g-dev, libdeflate-dev, libjpeg-dev, libcrypt-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "SWF movie builder library - development files
The Movara movie builder writes SWF (Flash) movies from C++: images, shapes,
buttons with actions, sounds, sprites and videos, on the SWF tag classes and
the GIF, BMP, WAV, MP3 and FLV readers it uses.
.
This package holds the headers, the static library, the CMake package
(find_package(Movara CONFIG)) and the pkg-config file (movara).")

include(CPack)
