# Where an install puts things, and into which package. Libraries go into
# the multiarch folder, as Debian's own have them. Rules that name no
# component belong to the programs' package (movara), so that a new rule for
# the programs' files needs nothing more; the library's rules name theirs.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CMAKE_INSTALL_LIBDIR)
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH "Object code libraries (LIBDIR)")
endif()
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME programs)

# The one id (reverse DNS of the home page, www.example.org/movara) of the
# desktop entry, the AppStream metadata and the icons.
set(MOVARA_APP_ID org.example.Movara)
