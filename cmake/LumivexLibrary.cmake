include(GNUInstallDirs)

# The libraries of the package, in the order they stand: each links only what lies below it.
# lumivex_add_library(<name> SOURCES ... [PUBLIC deps...] [PRIVATE deps...])
# makes the target lumivex_<name> (file liblumivex-<name>), the alias Lumivex::<name> that an
# installed package exports under the same name, and installs the public headers of the folder
# it is declared in (everything but detail/) under include/lumivex/<folder>/.
set_property(GLOBAL PROPERTY LUMIVEX_LIBRARIES "")

function(lumivex_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  set(target lumivex_${name})
  add_library(${target} ${ARG_SOURCES})
  add_library(Lumivex::${name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${name}
    OUTPUT_NAME lumivex-${name}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}
    # Shared, each library finds the units it stands on beside itself.
    INSTALL_RPATH "$ORIGIN")
  # Sources include from the repository's root ("engine/Barcode.h"), and so do the installed
  # headers among themselves; programs include <lumivex/engine/Barcode.h>, which the build tree
  # offers through a link named lumivex to the root.
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/lumivex>)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  lumivex_warnings(${target})
  set_property(GLOBAL APPEND PROPERTY LUMIVEX_LIBRARIES ${target})
  # The editions build the same sources again into libraries of their own (cmake/LumivexEditions).
  set(sources "")
  foreach(source ${ARG_SOURCES})
    get_filename_component(source ${source} ABSOLUTE)
    list(APPEND sources ${source})
  endforeach()
  set_property(GLOBAL PROPERTY LUMIVEX_SOURCES_${name} ${sources})
  set_property(GLOBAL PROPERTY LUMIVEX_PRIVATE_${name} ${ARG_PRIVATE})

  if(LUMIVEX_INSTALL)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    install(TARGETS ${target} EXPORT LumivexTargets
      ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
      LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
      RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/
      DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lumivex/${folder}
      FILES_MATCHING PATTERN "*.h" PATTERN "detail" EXCLUDE)
  endif()
endfunction()
