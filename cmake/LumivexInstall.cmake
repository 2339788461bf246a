# What `cmake --install` puts under the prefix: the libraries and their headers (installed by
# lumivex_add_library), the umbrella header, the CMake package, the pkg-config file, the
# licence. The command line and its man page are installed by tools/lumivex.
include(CMakePackageConfigHelpers)

set(LUMIVEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Lumivex)

install(FILES ${PROJECT_SOURCE_DIR}/Lumivex.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lumivex)
install(EXPORT LumivexTargets NAMESPACE Lumivex:: DESTINATION ${LUMIVEX_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/install/LumivexConfig.cmake.in
  ${PROJECT_BINARY_DIR}/LumivexConfig.cmake INSTALL_DESTINATION ${LUMIVEX_CMAKE_DIR})
# 0.x: a minor version may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/LumivexConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/LumivexConfig.cmake
  ${PROJECT_BINARY_DIR}/LumivexConfigVersion.cmake DESTINATION ${LUMIVEX_CMAKE_DIR})

# One pkg-config file for the whole package. Static libraries need their own dependencies on
# the link line, so these are plain requirements then, private ones for shared libraries.
set(LUMIVEX_PC_LIBS "")
foreach(unit design preview components engine db designer dialogs controls vector graphics classes sysutils)
  string(APPEND LUMIVEX_PC_LIBS " -llumivex-${unit}")
endforeach()
# Relative to the file itself, so that the package works wherever the prefix is put
# (cmake --install --prefix, DESTDIR).
file(RELATIVE_PATH LUMIVEX_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" LUMIVEX_PC_TO_PREFIX "${LUMIVEX_PC_TO_PREFIX}")
set(LUMIVEX_PC_REQUIRES "libpng zlib libdeflate freetype2 fontconfig cairo")
if(BUILD_SHARED_LIBS)
  set(LUMIVEX_PC_REQUIRES_FIELD "Requires.private")
else()
  set(LUMIVEX_PC_REQUIRES_FIELD "Requires")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/install/lumivex.pc.in
  ${PROJECT_BINARY_DIR}/lumivex.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lumivex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
# The Qt widgetset has a file of its own, so that lumivex alone never asks for Qt.
if(LUMIVEX_WITH_QT)
  if(BUILD_SHARED_LIBS)
    set(LUMIVEX_QT_PC_REQUIRES "Requires: lumivex = ${PROJECT_VERSION}\nRequires.private: Qt6Widgets")
  else()
    set(LUMIVEX_QT_PC_REQUIRES "Requires: lumivex = ${PROJECT_VERSION}, Qt6Widgets")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/install/lumivex-qt.pc.in
    ${PROJECT_BINARY_DIR}/lumivex-qt.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/lumivex-qt.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
