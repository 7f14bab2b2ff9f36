# The movie builder as a library for other programs: the SWF core and the
# builder with every layer below them, as one shared (libmovara.so.MAJOR)
# and one static library made of the same objects as the libraries the
# programs link. The headers install under include/movara/ in the folders
# they have in src/, and include/movara is the include path a consumer gets,
# so that "swf/builder/FlashMovie.h" and the builder's own includes resolve
# as they do here. A CMake package (find_package(Movara CONFIG): targets
# Movara::movara and Movara::movara_static) and a pkg-config file (movara)
# describe them.
include(CMakePackageConfigHelpers)

movara_layers_below(swf/builder below)
set(layers swf/builder ${below})
set(objects "")
set(external "")
foreach(folder ${layers})
  string(REPLACE / _ layer movara_${folder})
  # The shared library is linked from these objects. Without interposition
  # they are as fast in the programs as position-dependent code.
  set_target_properties(${layer} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_options(${layer} PRIVATE -fno-semantic-interposition)
  list(APPEND objects $<TARGET_OBJECTS:${layer}>)
  get_target_property(links ${layer} LINK_LIBRARIES)
  list(APPEND external ${links})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/movara/${folder} COMPONENT development)
endforeach()
# What the layers link besides each other: the libraries' own dependencies.
list(FILTER external EXCLUDE REGEX "^movara_")
list(REMOVE_DUPLICATES external)
# Imported targets found in the layers' folders are seen here once found here.
find_package(JPEG REQUIRED)
find_package(Threads REQUIRED)

add_library(movara_shared SHARED ${objects})
add_library(movara_static STATIC ${objects})
target_link_libraries(movara_shared PRIVATE ${external})
target_link_libraries(movara_static PRIVATE ${external})
set_target_properties(movara_shared PROPERTIES
  OUTPUT_NAME movara EXPORT_NAME movara
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
set_target_properties(movara_static PROPERTIES OUTPUT_NAME movara EXPORT_NAME movara_static)

install(TARGETS movara_shared movara_static EXPORT MovaraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/movara)

# An install with --strip (as CPack's) leaves the static library without
# its debugging sections, as it leaves the shared one.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:movara_static>\")
endif()" COMPONENT development)

set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Movara)
install(EXPORT MovaraTargets NAMESPACE Movara:: DESTINATION ${cmake_dir} COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/MovaraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/MovaraConfig.cmake INSTALL_DESTINATION ${cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/MovaraConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/MovaraConfig.cmake ${PROJECT_BINARY_DIR}/MovaraConfigVersion.cmake
  DESTINATION ${cmake_dir} COMPONENT development)

# The pkg-config file finds the prefix from its own place, so that the
# installed tree can move (a package under /usr, a scratch prefix in tests).
file(RELATIVE_PATH pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/movara.pc.in ${PROJECT_BINARY_DIR}/movara.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/movara.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
